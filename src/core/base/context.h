// The injected world of one program run: the machine it works on, the shell
// it reports through, and the operating-system kind found at detection.
#pragma once

#include <cstdint>
#include <string>

#include "core/base/machine.h"
#include "core/base/shell.h"

namespace vc {

// 0 other, 1 Windows 9x, 2 Windows NT 4, 3 Windows 2000 and later NT 5.x.
enum OsKind : int32_t {
    kOsOther = 0,
    kOsWin9x = 1,
    kOsNt4 = 2,
    kOsWin2000 = 3,
};

struct Context {
    Machine machine;
    Shell& shell;
    int32_t osKind = kOsOther;
    // Where the data files are opened; empty means by bare name in the
    // current directory, which start-up makes the program directory.
    std::string dataDirectory;
};

}  // namespace vc
