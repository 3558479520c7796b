// Where the helper's log lines go: the system log (LOG_DAEMON), and standard
// error as well when it runs in the foreground.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/base/hex_text.h"

namespace vc::helper {

using LogSink = std::function<void(const std::string& line)>;

// Opens the system log under the helper's name.
LogSink SystemLog(bool alsoToStderr);

}  // namespace vc::helper
