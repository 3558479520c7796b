#include "host/host_machine.h"
#include "host/process/xdg_autostart.h"
#include "launch/launched_machine.h"

namespace vc::launch {

namespace {

class ThisComputerMachine final : public LaunchedMachine {
public:
    Machine Parts() override { return machine_.Parts(); }
    AutorunStore& Autorun() override { return autostart_; }
    void ReportDriverProblemsTo(std::function<void(const std::string&)> report) override {
        machine_.platform.ReportProblemsTo(std::move(report));
    }
    std::string DriverProblem() const override { return machine_.platform.DriverProblem(); }

private:
    HostMachine machine_;
    host::XdgAutostart autostart_;
};

}  // namespace

std::unique_ptr<LaunchedMachine> ThisComputer() { return std::make_unique<ThisComputerMachine>(); }

}  // namespace vc::launch
