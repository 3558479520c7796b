// The clock-multiplier tables: a code from the processor configuration word
// maps to the multiplier the processor runs at. Each table is searched from
// its first row; the first matching row wins.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace vc {

struct MultiplierRow {
    uint32_t code;
    double multiplier;
};

// Intel P6 parts: bits 22-25 of the configuration word (code 8 has no row).
std::span<const MultiplierRow> IntelStandardMultipliers();
// Intel parts that report bit 27 and lie in the extended signature ranges.
std::span<const MultiplierRow> IntelExtendedMultipliers();
// AMD parts: bits 24-27, 3.0 + code / 2.
std::span<const MultiplierRow> AmdMultipliers();

std::optional<double> FindMultiplier(std::span<const MultiplierRow> table, uint32_t code);

// Signatures 0x683-0x68F and 0x6A1-0x6AF use the extended table when the
// configuration word has bit 27 set.
bool InExtendedSignatureRange(int32_t signature);

}  // namespace vc
