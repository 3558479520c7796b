// The command line of vcctl:
//   vcctl [--machine NAME|FILE] [--dir DIR] COMMAND...
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vc::cli {

struct Options {
    std::optional<std::string> machine;  // absent: this computer
    std::optional<std::string> dir;      // absent: the executable's directory
    // Each command: its name words ("cpu", or "data" "build") then arguments.
    std::vector<std::vector<std::string>> commands;
    bool help = false;
};

// The commands vcctl knows: the words that name one and how many arguments
// follow them.
struct CommandShape {
    std::vector<std::string> name;
    size_t argumentCount;
};
const std::vector<CommandShape>& CommandShapes();

// Splits the arguments (without the program name) into options and
// commands. Returns an error text on misuse.
std::optional<std::string> ParseOptions(const std::vector<std::string>& args, Options& options);

extern const char* const kUsageText;

}  // namespace vc::cli
