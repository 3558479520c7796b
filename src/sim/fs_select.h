// How a frequency-select chip's FS pins and register 0 map to FS codes:
// the code register 0 programs, the strap code latched at power-on and how
// the registers show it. Codes are FS0..FS4 as bits 0..4.
#pragma once

#include <cstdint>
#include <span>

#include "sim/chip_model.h"

namespace vc::sim {

// The code the FS bits of a register-0 byte program; a pin without a
// select bit counts as 0.
int FsCodeIn(const FsRules& fs, uint8_t register0);

// The register-0 bits a select byte is about: the FS bits and hardware select.
uint8_t FsSelectBits(const FsRules& fs);

// The table row of a code, or nullptr when the table has none.
const FsFrequency* FsRow(const FsRules& fs, int code);

// The code the straps latch for a board booting at bootBusMHz: of the codes
// whose set bits all have a pin and that have a row, the one whose bus
// clock is nearest; the lowest code on a tie.
int FsStrapCode(const FsRules& fs, double bootBusMHz);

// Puts a latched code into the registers: select bits show it, inverted
// strap bits its complement.
void ShowFsStrap(const FsRules& fs, int code, std::span<uint8_t> registers);

// Marks the inverted strap bits, which writes leave alone, per register.
void MarkFsReadOnly(const FsRules& fs, std::span<uint8_t> readOnly);

}  // namespace vc::sim
