#include "helper/options.h"

#include <charconv>

namespace vc::helper {

namespace {

constexpr unsigned kFirstDeviceAddress = 0x03;  // below: reserved addresses
constexpr unsigned kLastDeviceAddress = 0x77;   // above: 10-bit and reserved

bool ParseAddress(const std::string& text, uint8_t& address) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    unsigned value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (error != std::errc() || end != last || first == last) return false;
    if (value < kFirstDeviceAddress || value > kLastDeviceAddress) return false;
    address = static_cast<uint8_t>(value);
    return true;
}

}  // namespace

const char* const kHelperUsage =
    "usage: velocore-driverd [--socket PATH] [--group NAME] [--clockgen-address 0xNN]\n"
    "Serves the hardware requests of VelocoreIII to root and to members of a group.\n"
    "  --socket PATH            listen at PATH in the foreground, logging to standard\n"
    "                           error as well; without it, serve the socket systemd passes\n"
    "  --group NAME             the group whose members may connect (default velocore)\n"
    "  --clockgen-address 0xNN  testing only: send the writes for the clock generator\n"
    "                           (0xD2) to this 7-bit address instead of 0x69\n";

bool ParseHelperOptions(const std::vector<std::string>& args, HelperOptions& options, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg != "--socket" && arg != "--group" && arg != "--clockgen-address") {
            error = "unknown option " + arg;
            return false;
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = arg + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (arg == "--socket") {
            options.socketPath = value;
        } else if (arg == "--group") {
            options.group = value;
        } else if (!ParseAddress(value, options.clockGenAddress7)) {
            error = "--clockgen-address " + value + " is no 7-bit device address (0x03..0x77)";
            return false;
        }
    }
    return true;
}

}  // namespace vc::helper
