#include "host/process/host_process.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace vc::host {

namespace {
// One name for every copy of the program of this user.
std::string CounterName() { return std::string("velocore3-instance-") + std::to_string(::getuid()); }
}  // namespace

HostProcess::HostProcess(AutorunStore& autorun, std::string counterDirectory)
    : autorun_(autorun), counter_(std::move(counterDirectory), CounterName()) {}

int32_t HostProcess::IncrementInstanceCounter() { return counter_.Increment(); }
int32_t HostProcess::DecrementInstanceCounter() { return counter_.Decrement(); }

std::string HostProcess::CurrentDirectory() {
    std::error_code ec;
    auto path = std::filesystem::current_path(ec);
    return ec ? std::string() : path.string();
}

bool HostProcess::SetCurrentDirectory(const std::string& path) {
    std::error_code ec;
    std::filesystem::current_path(path, ec);
    return !ec;
}

std::string HostProcess::ProgramPath() { return ExecutablePath(); }

AutorunStore& HostProcess::Autorun() { return autorun_; }

std::string ExecutablePath() {
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

}  // namespace vc::host
