// --help for the desktop programs, answered before the window system
// starts: starting it needs a display, and the usage does not.
#pragma once

#include <string_view>

namespace vc::launch {

inline constexpr const char* kHostUsage =
    "usage: velocore [--help]\n"
    "  the desktop program on this computer's hardware; it takes no other options\n"
    "  (velocore-sim --help: the same program on a simulated mainboard;\n"
    "   vcctl --help: the console tool)\n";

inline bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

}  // namespace vc::launch
