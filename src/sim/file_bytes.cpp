#include "sim/file_bytes.h"

#include "core/base/file_io.h"

namespace vc::sim {

bool ReadWholeFile(const std::string& path, size_t maxBytes, std::string& content) {
    // One byte over the cap shows that the file is too large.
    const auto bytes = ReadFileBytes(path, maxBytes + 1);
    if (!bytes || bytes->size() > maxBytes) return false;
    content.assign(bytes->begin(), bytes->end());
    return true;
}

}  // namespace vc::sim
