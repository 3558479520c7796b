// "vcctl run": the program's own start-up on the chosen machine, with a
// console in place of the main window.
#pragma once

#include <string>
#include <vector>

namespace vc::cli {

struct Session;

int RunProgramCommand(Session& session, const std::vector<std::string>& command);

}  // namespace vc::cli
