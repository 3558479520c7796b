// vcctl's `driver` commands on Windows: the NT port driver (gpddev.sys,
// beside vcctl.exe) installed, started, stopped and removed through the
// service manager, and its state shown.
//   vcctl driver install | start | stop | remove | status
#pragma once

#include <string>
#include <vector>

#include "cli/text_out.h"

namespace vc::ntdriver {

// The service, its file and the local group whose members may open the
// device besides administrators (the Linux helper's group is `velocore`).
inline constexpr const char* kServiceName = "GpdDev";
inline constexpr const char* kDriverFile = "gpddev.sys";
inline constexpr const char* kImagePath = "\\SystemRoot\\system32\\drivers\\gpddev.sys";
inline constexpr const char* kAccessGroup = "Velocore";

// Runs `vcctl driver ARGS...` (args without "driver"); the exit code.
int RunDriverCommand(const std::vector<std::string>& args, cli::TextOut& out, cli::TextOut& err);

}  // namespace vc::ntdriver
