#include "core/cpu/multiplier_tables.h"

#include <array>

namespace vc {

namespace {

constexpr std::array<MultiplierRow, 15> kIntelStandard{{
    {14, 1.5}, {3, 2.0}, {7, 2.5}, {1, 3.0}, {5, 3.5}, {2, 4.0}, {12, 4.0}, {6, 4.5},
    {0, 5.0}, {4, 5.5}, {11, 6.0}, {15, 6.5}, {9, 7.0}, {13, 7.5}, {10, 8.0},
}};

constexpr std::array<MultiplierRow, 8> kIntelExtended{{
    {6, 8.5}, {0, 9.0}, {4, 9.5}, {11, 10.0}, {15, 10.5}, {1, 11.0}, {5, 11.5}, {2, 12.0},
}};

constexpr std::array<MultiplierRow, 16> kAmd{{
    {0, 3.0}, {1, 3.5}, {2, 4.0}, {3, 4.5}, {4, 5.0}, {5, 5.5}, {6, 6.0}, {7, 6.5},
    {8, 7.0}, {9, 7.5}, {10, 8.0}, {11, 8.5}, {12, 9.0}, {13, 9.5}, {14, 10.0}, {15, 10.5},
}};

struct SignatureRange {
    int32_t first;
    int32_t last;  // inclusive
};

constexpr std::array<SignatureRange, 2> kExtendedRanges{{{0x683, 0x68F}, {0x6A1, 0x6AF}}};

}  // namespace

std::span<const MultiplierRow> IntelStandardMultipliers() { return kIntelStandard; }
std::span<const MultiplierRow> IntelExtendedMultipliers() { return kIntelExtended; }
std::span<const MultiplierRow> AmdMultipliers() { return kAmd; }

std::optional<double> FindMultiplier(std::span<const MultiplierRow> table, uint32_t code) {
    for (const MultiplierRow& row : table) {
        if (row.code == code) return row.multiplier;
    }
    return std::nullopt;
}

bool InExtendedSignatureRange(int32_t signature) {
    for (const SignatureRange& range : kExtendedRanges) {
        if (signature >= range.first && signature <= range.last) return true;
    }
    return false;
}

}  // namespace vc
