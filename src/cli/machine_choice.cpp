#include "cli/machine_choice.h"

#include <filesystem>

#include "host/host_machine.h"
#include "sim/machine_catalogue.h"

namespace vc::cli {

namespace {

std::optional<ChosenMachine> Simulated(const sim::DescriptionResult& result, std::string& error) {
    if (!result.ok()) {
        error = result.error;
        return std::nullopt;
    }
    auto machine = std::make_unique<sim::SimMachine>(*result.description);
    ChosenMachine chosen;
    chosen.sim = machine.get();
    chosen.machine = std::move(machine);
    return chosen;
}

bool NamesAFile(const std::string& choice) {
    return choice.find('/') != std::string::npos ||
           (choice.size() > 8 && choice.ends_with(sim::kMachineFileSuffix));
}

}  // namespace

std::optional<ChosenMachine> ChooseMachine(const std::optional<std::string>& choice,
                                           const std::vector<std::string>& catalogueDirs,
                                           std::string& error) {
    if (!choice) return ChosenMachine{std::make_unique<HostMachine>(), nullptr};
    if (*choice == sim::kDefaultMachineName) return Simulated(sim::DefaultMachineDescription(), error);
    if (NamesAFile(*choice)) return Simulated(sim::LoadMachineFile(*choice), error);
    // The first catalogue that holds the machine and loads it wins; a copy
    // whose neighbouring files were not copied along falls back to the next.
    std::string firstError;
    for (const auto& dir : catalogueDirs) {
        if (!std::filesystem::exists(dir + "/" + *choice + sim::kMachineFileSuffix)) continue;
        const auto result = sim::LoadMachineByName(*choice, dir);
        if (result.ok()) return Simulated(result, error);
        if (firstError.empty()) firstError = result.error;
    }
    if (!firstError.empty()) {
        error = firstError;
        return std::nullopt;
    }
    error = "no machine named '" + *choice + "' in the catalogue (" +
            (catalogueDirs.empty() ? std::string("none") : catalogueDirs.front()) + ")";
    return std::nullopt;
}

}  // namespace vc::cli
