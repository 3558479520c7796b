// Every clock-generator model the simulation knows, by name.
#include "sim/chip_model_lists.h"
#include "sim/clock_chip.h"

namespace vc::sim {

const ChipModel* FindChipModel(std::string_view name) {
    for (const auto list : {InventedChipModels(), RealChipModels()}) {
        for (const auto& m : list) {
            if (m.name == name) return &m;
        }
    }
    return nullptr;
}

std::vector<std::string_view> ChipModelNames() {
    std::vector<std::string_view> names;
    for (const auto list : {InventedChipModels(), RealChipModels()}) {
        for (const auto& m : list) names.push_back(m.name);
    }
    return names;
}

}  // namespace vc::sim
