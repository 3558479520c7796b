// Process services of this computer: the shared instance counter, the
// working directory, the program's own path and an autorun store.
#pragma once

#include <memory>
#include <string>

#include "core/base/process.h"
#include "host/executable_path.h"
#include "host/process/instance_counter.h"

namespace vc::host {

class HostProcess : public ProcessServices {
public:
    // `autorun` is where the autorun entry goes: the session's autostart on
    // this computer, the simulation's own store on a simulated machine.
    explicit HostProcess(AutorunStore& autorun,
                         std::string counterDirectory = InstanceCounter::DefaultDirectory());

    int32_t IncrementInstanceCounter() override;
    int32_t DecrementInstanceCounter() override;
    std::string CurrentDirectory() override;
    bool SetCurrentDirectory(const std::string& path) override;
    std::string ProgramPath() override;
    AutorunStore& Autorun() override;

private:
    AutorunStore& autorun_;
    InstanceCounter counter_;
};

}  // namespace vc::host
