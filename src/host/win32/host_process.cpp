// The process services vcctl's `run` uses (host/process/host_process.h) on
// Windows: the ANSI current-directory calls and the program file's path.
#include <windows.h>
#undef SetCurrentDirectory  // windows.h's name for SetCurrentDirectoryA

#include "host/process/host_process.h"

namespace vc::host {

HostProcess::HostProcess(AutorunStore& autorun, std::string counterDirectory)
    : autorun_(autorun), counter_(std::move(counterDirectory), kProgramName) {}

int32_t HostProcess::IncrementInstanceCounter() { return counter_.Increment(); }
int32_t HostProcess::DecrementInstanceCounter() { return counter_.Decrement(); }

std::string HostProcess::CurrentDirectory() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

bool HostProcess::SetCurrentDirectory(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

std::string HostProcess::ProgramPath() { return ExecutablePath(); }

AutorunStore& HostProcess::Autorun() { return autorun_; }

}  // namespace vc::host
