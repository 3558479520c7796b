#include "core/base/process.h"

namespace vc {

std::string ProgramDirectoryOf(const std::string& programPath) {
    const auto cut = programPath.find_last_of("/\\");
    if (cut == std::string::npos) return ".";
    return programPath.substr(0, cut);
}

}  // namespace vc
