// This computer on Windows: the Windows host behind the machine seam and the
// Run key (the machine's, else the user's) as the start-at-logon list.
#include "launch/launched_machine.h"
#include "host/win32/registry_autorun.h"
#include "host/win32/win32_machine.h"

namespace vc::launch {

namespace {

class ThisComputerMachine final : public LaunchedMachine {
public:
    Machine Parts() override { return machine_.Parts(); }
    AutorunStore& Autorun() override { return autorun_; }

private:
    win32::Win32Machine machine_;
    win32::RegistryAutorun autorun_;
};

}  // namespace

std::unique_ptr<LaunchedMachine> ThisComputer() { return std::make_unique<ThisComputerMachine>(); }

}  // namespace vc::launch
