#include "core/state/atomic_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace vc {

std::string TemporaryPathFor(const std::string& path) { return path + ".tmp"; }

bool ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    const std::string temporary = TemporaryPathFor(path);
    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            out.flush();
            written = out.good();
            out.close();
            written = written && !out.fail();
        }
    }
    std::error_code error;
    if (written) {
        std::filesystem::rename(temporary, path, error);
        if (!error) return true;
    }
    // Leave no half-written temporary behind, but never remove something
    // that is not a plain file we may have created (a blocking directory).
    if (std::filesystem::is_regular_file(temporary, error)) std::filesystem::remove(temporary, error);
    return false;
}

}  // namespace vc
