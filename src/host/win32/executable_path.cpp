#include <windows.h>

#include "host/executable_path.h"

namespace vc::host {

std::string ExecutablePath() {
    // MAX_PATH is the longest path the ANSI calls take on every system here.
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(path, length);
}

}  // namespace vc::host
