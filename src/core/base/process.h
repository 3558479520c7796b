// The process half of the shell seam: what start-up takes from the process
// and the desktop session it runs in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vc {

// The list of programs the session starts at logon.
class AutorunStore {
public:
    virtual ~AutorunStore() = default;
    // Sets (or replaces) the entry `name` to start `command`. Failures are not
    // reported: start-up goes on whatever happens here.
    virtual void SetAutorunEntry(const std::string& name, const std::string& command) = 0;
    // The entry starts `program` with `arguments`. By default one command
    // line: the program, then each argument, any of them with a blank or a
    // double quote in double quotes (what a Run value or a list in memory
    // keeps); a store with its own format overrides it.
    virtual void SetAutorunCommand(const std::string& name, const std::string& program,
                                   const std::vector<std::string>& arguments);
};

class ProcessServices {
public:
    virtual ~ProcessServices() = default;

    // The counter shared by every running copy of the program. It starts at
    // -1 whenever no copy runs; both return the value after the change.
    virtual int32_t IncrementInstanceCounter() = 0;
    virtual int32_t DecrementInstanceCounter() = 0;

    virtual std::string CurrentDirectory() = 0;
    virtual bool SetCurrentDirectory(const std::string& path) = 0;
    // Full path of the running program file.
    virtual std::string ProgramPath() = 0;

    virtual AutorunStore& Autorun() = 0;
};

inline constexpr const char* kProgramName = "VelocoreIII";

// The program path cut at its last separator: the directory without a
// trailing separator, to which "/sysinfo.dat" and "/save.dat" are appended.
// A program in the root directory gives "" (state paths "/sysinfo.dat"); a
// bare file name gives ".".
std::string ProgramDirectoryOf(const std::string& programPath);

}  // namespace vc
