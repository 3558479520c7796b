// A minimal PNG encoder for the installed icons: 8-bit RGBA, no filtering,
// stored (uncompressed) deflate blocks. Icons are small, so size does not
// matter and no compression library is needed.
#pragma once

#include <cstdint>
#include <vector>

namespace vc::tools {

// `rgba` holds width * height pixels, 4 bytes each, rows top to bottom.
std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba);

}  // namespace vc::tools
