// The two halves of the model list FindChipModel searches.
#pragma once

#include <span>

#include "sim/chip_model.h"

namespace vc::sim {

// The generic test chip and the simulated catalogue's own chips.
std::span<const ChipModel> InventedChipModels();
// Real frequency-select chips, from public facts.
std::span<const ChipModel> RealChipModels();

}  // namespace vc::sim
