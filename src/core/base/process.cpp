#include "core/base/process.h"

namespace vc {

namespace {

std::string CommandWord(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) return word;
    std::string quoted = "\"";
    for (const char c : word) {
        if (c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

void AutorunStore::SetAutorunCommand(const std::string& name, const std::string& program,
                                     const std::vector<std::string>& arguments) {
    if (arguments.empty()) return SetAutorunEntry(name, program);
    std::string command = CommandWord(program);
    for (const std::string& argument : arguments) command += " " + CommandWord(argument);
    SetAutorunEntry(name, command);
}

std::string ProgramDirectoryOf(const std::string& programPath) {
    const auto cut = programPath.find_last_of("/\\");
    if (cut == std::string::npos) return ".";
    return programPath.substr(0, cut);
}

}  // namespace vc
