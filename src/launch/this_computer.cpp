#include "host/host_machine.h"
#include "host/process/xdg_autostart.h"
#include "launch/launched_machine.h"

namespace vc::launch {

namespace {

class ThisComputerMachine final : public LaunchedMachine {
public:
    Machine Parts() override { return machine_.Parts(); }
    AutorunStore& Autorun() override { return autostart_; }

private:
    HostMachine machine_;
    host::XdgAutostart autostart_;
};

}  // namespace

std::unique_ptr<LaunchedMachine> ThisComputer() { return std::make_unique<ThisComputerMachine>(); }

}  // namespace vc::launch
