// The clock-generator models the simulation knows.
#include <array>

#include "sim/clock_chip.h"

namespace vc::sim {
namespace {

const std::array<ChipModel, 3>& Models() {
    static const std::array<ChipModel, 3> models = {{
        // Any chip that takes the select in the first byte of a block write.
        {
            .name = "generic",
            .readBackLength = 8,
            .selectIndex = 0,
            .fullBlockLength = 1,
            .shortBlockSelects = false,
            .maxSelectBlockLength = kChipRegisterCount,
            .selectCommand = -1,
            .armingWords = {},
            .guardRegister = -1,
            .guardValue = 0,
            .powerOnRegisters = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
        },
        // Seven control bytes read back as one block; the select is byte 6
        // of a full-length write. A one-byte block (what a block-buffer
        // controller sends) selects with its only byte.
        {
            .name = "ICS9248-153",
            .readBackLength = 7,
            .selectIndex = 6,
            .fullBlockLength = 7,
            .shortBlockSelects = true,
            .maxSelectBlockLength = kChipRegisterCount,
            .selectCommand = -1,
            .armingWords = {},
            .guardRegister = -1,
            .guardValue = 0,
            .powerOnRegisters = {0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x00},
        },
        // Seventeen bytes read back; register 16 must hold 0x4B and the two
        // word writes must have been seen before a one-byte select with
        // command 0x00 counts.
        {
            .name = "RTM560-25",
            .readBackLength = 17,
            .selectIndex = 0,
            .fullBlockLength = 1,
            .shortBlockSelects = false,
            .maxSelectBlockLength = 1,
            .selectCommand = 0x00,
            .armingWords = {{0x1F, 0x00, 0x02}, {0x10, 0x00, 0x49}},
            .guardRegister = 16,
            .guardValue = 0x4B,
            .powerOnRegisters = {0x00, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x00, 0x00, 0x0B},
        },
    }};
    return models;
}

}  // namespace

const ChipModel* FindChipModel(std::string_view name) {
    for (const auto& m : Models()) {
        if (m.name == name) return &m;
    }
    return nullptr;
}

std::vector<std::string_view> ChipModelNames() {
    std::vector<std::string_view> names;
    for (const auto& m : Models()) names.push_back(m.name);
    return names;
}

}  // namespace vc::sim
