// velocore-driverd's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "helper/helper_hardware.h"

namespace vc::helper {

struct HelperOptions {
    std::string socketPath;        // empty: the socket systemd passes
    std::string group = "velocore";
    uint8_t clockGenAddress7 = kDefaultClockGenAddress;
    bool help = false;
};

extern const char* const kHelperUsage;

// false with `error` on an unknown option, a missing value or an address
// that is no 7-bit device address (0x03..0x77).
bool ParseHelperOptions(const std::vector<std::string>& args, HelperOptions& options, std::string& error);

}  // namespace vc::helper
