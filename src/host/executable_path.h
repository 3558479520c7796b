// The running program's own file: on Linux read from /proc, on Windows from
// GetModuleFileNameA (src/host/win32).
#pragma once

#include <string>

namespace vc::host {

// The running executable's full path (empty when it cannot be found).
std::string ExecutablePath();

}  // namespace vc::host
