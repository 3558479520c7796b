// Reads a whole file with a size cap (machine descriptions and the files
// they name are small).
#pragma once

#include <cstddef>
#include <string>

namespace vc::sim {

// False when the file cannot be opened or holds more than maxBytes.
bool ReadWholeFile(const std::string& path, size_t maxBytes, std::string& content);

}  // namespace vc::sim
