// Process services on Windows: the shared instance counter, the current
// directory, the program file's own path and the machine's autorun store.
#pragma once

#include <string>

#include "core/base/process.h"

namespace vc::win32 {

class Win32Process : public ProcessServices {
public:
    // `autorun`: the registry's Run value on this computer, the simulation's
    // own store on a simulated machine.
    explicit Win32Process(AutorunStore& autorun) : autorun_(autorun) {}

    int32_t IncrementInstanceCounter() override;
    int32_t DecrementInstanceCounter() override;
    std::string CurrentDirectory() override;
    bool SetCurrentDirectory(const std::string& path) override;
    std::string ProgramPath() override;
    AutorunStore& Autorun() override { return autorun_; }

private:
    AutorunStore& autorun_;
};

// The folder of the running program file, without a trailing separator.
std::string ProgramFileDirectory();

}  // namespace vc::win32
