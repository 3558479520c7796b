// The clock-generator models the simulation knows.
#include <array>

#include "sim/clock_chip.h"

namespace vc::sim {
namespace {

const std::array<ChipModel, 3>& Models() {
    static const std::array<ChipModel, 3> models = {{
        // Any chip that takes the select in the first byte of a block write.
        {"generic", 8, 0, 1, false, kChipRegisterCount, -1, {}, -1, 0,
         {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        // Seven control bytes read back as one block; the select is byte 6
        // of a full-length write. A one-byte block (what a block-buffer
        // controller sends) selects with its only byte.
        {"ICS9248-153", 7, 6, 7, true, kChipRegisterCount, -1, {}, -1, 0,
         {0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x00}},
        // Seventeen bytes read back; register 16 must hold 0x4B and the two
        // word writes must have been seen before a one-byte select with
        // command 0x00 counts.
        {"RTM560-25", 17, 0, 1, false, 1, 0x00, {{0x1F, 0x00, 0x02}, {0x10, 0x00, 0x49}}, 16, 0x4B,
         {0x00, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
          0x00, 0x00, 0x0B}},
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
