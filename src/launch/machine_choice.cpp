#include "launch/machine_choice.h"

#include <cstdio>
#include <cstdlib>

#include "core/base/file_io.h"
#include "sim/machine_catalogue.h"
#include "sim/sim_machine.h"

namespace vc::launch {

namespace {

class SimulatedMachine final : public LaunchedMachine {
public:
    explicit SimulatedMachine(const sim::MachineDescription& description) : sim_(description) {}
    Machine Parts() override { return WholeMachine(sim_); }
    AutorunStore& Autorun() override { return autorun_; }
    sim::SimMachine* Simulation() override { return &sim_; }
    const MemoryAutorun& autorun() const { return autorun_; }

private:
    sim::SimMachine sim_;
    MemoryAutorun autorun_;
};

std::unique_ptr<LaunchedMachine> Simulated(const sim::DescriptionResult& result, std::string& error) {
    if (!result.ok()) {
        error = result.error;
        return nullptr;
    }
    return std::make_unique<SimulatedMachine>(*result.description);
}

bool NamesAFile(const std::string& choice) {
    return choice.find('/') != std::string::npos ||
           (choice.size() > 8 && choice.ends_with(sim::kMachineFileSuffix));
}

}  // namespace

std::unique_ptr<LaunchedMachine> ChooseMachine(const std::optional<std::string>& choice,
                                               const std::vector<std::string>& catalogueDirs,
                                               std::string& error) {
    if (!choice) return ThisComputer();
    if (*choice == sim::kDefaultMachineName) return Simulated(sim::DefaultMachineDescription(), error);
    if (NamesAFile(*choice)) return Simulated(sim::LoadMachineFile(*choice), error);

    // The first catalogue that holds the machine and loads it wins; a copy
    // whose neighbouring files were not copied along falls back to the next.
    std::string firstError;
    for (const auto& dir : catalogueDirs) {
        if (!IsRegularFile(dir + "/" + *choice + sim::kMachineFileSuffix)) continue;
        const auto result = sim::LoadMachineByName(*choice, dir);
        if (result.ok()) return Simulated(result, error);
        if (firstError.empty()) firstError = result.error;
    }
    if (!firstError.empty()) {
        error = firstError;
        return nullptr;
    }
    error = "no machine named '" + *choice + "' in the catalogue (" +
            (catalogueDirs.empty() ? std::string("none") : catalogueDirs.front()) + ")";
    return nullptr;
}

const MemoryAutorun* SimulatedAutorun(LaunchedMachine& machine) {
    const auto* simulated = dynamic_cast<SimulatedMachine*>(&machine);
    return simulated ? &simulated->autorun() : nullptr;
}

void EndProcessOnSimulatedHang(LaunchedMachine& machine) {
    sim::SimMachine* simulated = machine.Simulation();
    if (simulated == nullptr) return;
    simulated->SetHangHandler([] {
        std::fputs("simulated hang\n", stderr);
        std::_Exit(kSimulatedHangExitCode);
    });
}

}  // namespace vc::launch
