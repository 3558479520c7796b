#include "sim/file_bytes.h"

#include <fstream>

namespace vc::sim {

bool ReadWholeFile(const std::string& path, size_t maxBytes, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    content.clear();
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        content.append(chunk, static_cast<size_t>(in.gcount()));
        if (content.size() > maxBytes) return false;
    }
    return true;
}

}  // namespace vc::sim
