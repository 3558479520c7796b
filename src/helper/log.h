// Where the helper's log lines go: the system log (LOG_DAEMON), and standard
// error as well when it runs in the foreground.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vc::helper {

using LogSink = std::function<void(const std::string& line)>;

// Opens the system log under the helper's name.
LogSink SystemLog(bool alsoToStderr);

// "0x0700", "0x9C402450": the widths the log lines and the probe use.
std::string Hex(uint32_t value, int digits);

}  // namespace vc::helper
