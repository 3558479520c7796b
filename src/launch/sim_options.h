// The arguments of the desktop program on a simulated mainboard
// (velocore-sim), the same for every window system.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace vc::launch {

inline constexpr const char* kSimUsage =
    "usage: velocore-sim [--machine NAME|FILE] [--trace FILE] [--quit-after-first-frame]\n"
    "  --machine NAME|FILE  a catalogue machine or a machine description file\n"
    "                       (default: the embedded default machine)\n"
    "  --trace FILE         write what reached the simulated hardware to FILE\n"
    "                       when the program ends\n"
    "  --quit-after-first-frame  print the time from start to the first painted\n"
    "                       frame of the main window, then end\n";

struct SimOptions {
    std::string machine = "default";
    std::string traceFile;  // --trace FILE; empty: none
    bool help = false;
    // --quit-after-first-frame: print how long start-up took to the first
    // painted frame of the main window, then end (the timing command).
    bool quitAfterFirstFrame = false;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

// Reads velocore-sim's arguments (the window system's own are gone by
// then). Answers an error text for anything it does not know.
std::optional<std::string> ParseSimOptions(const std::vector<std::string>& args, SimOptions& options);

}  // namespace vc::launch
