#include "core/base/file_io.h"

#include <fstream>

namespace vc {

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes(limit);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(limit));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

}  // namespace vc
