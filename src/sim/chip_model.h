// What the simulation knows of one clock-generator chip, as data: its
// register file at power-on, where it takes a frequency select, and the
// clocks a select gives. Two kinds of chip:
//
// - Frequency-select chips (the ICS9xxx family, `fs` set): register 0
//   carries the FS0..FS4 bits and a hardware-select bit; the FS code indexes
//   the chip's frequency table. The models are public facts
//   (real_chip_models.cpp).
// - Select-byte chips (`fs` null): one byte of a block write is compared
//   with the low bytes of the table entries' select values. Their tables are
//   their own (invented_chip_models.cpp), except the `generic` test chip,
//   which takes the table a machine description states.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/board/records.h"

namespace vc::sim {

inline constexpr size_t kChipRegisterCount = 32;

// --- frequency-select chips --------------------------------------------------

inline constexpr int kFsPinCount = 5;  // FS0..FS4 = bits 0..4 of the code

struct RegisterBit {
    int8_t reg = -1;  // -1: none
    uint8_t bit = 0;
};

// One FS pin: the register-0 bit that programs it (-1: the pin is a strap
// only) and the read-only bit that shows the latched strap inverted.
struct FsPin {
    int8_t selectBit = -1;
    RegisterBit strapInverted;
};

// One row of a frequency table, at the index of its FS code.
struct FsFrequency {
    uint16_t busCentiMHz;           // bus clock in 1/100 MHz
    uint8_t pciDivider;             // PCI clock = bus / divider
    double memoryMultiplier = 0.0;  // memory clock = bus x this; 0: not given
};

struct FsRules {
    std::array<FsPin, kFsPinCount> pins;
    // Register-0 bit: clear, the chip runs at its latched strap code; set,
    // the FS bits of register 0 decide.
    uint8_t hwSelectBit;
    std::span<const FsFrequency> table;  // codes past its end have no entry
};

// --- select-byte chips ---------------------------------------------------------

struct WordWriteStep {
    uint8_t command;
    uint8_t low;
    uint8_t high;
};

struct ChipModel {
    std::string_view name;
    uint8_t readBackLength;  // bytes a block read returns (registers 0..n-1)
    std::array<uint8_t, kChipRegisterCount> powerOnRegisters;

    // Frequency-select chips: everything below is unused.
    const FsRules* fs = nullptr;

    // Where the select byte is: byte selectIndex of a block write of at
    // least fullBlockLength bytes; a shorter block carries it in byte 0 when
    // shortBlockSelects, else not at all.
    uint8_t selectIndex = 0;
    uint8_t fullBlockLength = 1;
    bool shortBlockSelects = false;
    uint8_t maxSelectBlockLength = kChipRegisterCount;  // longer blocks only fill registers
    int16_t selectCommand = -1;                         // the command a select needs; -1 any
    // Word writes that must have been seen, in this order, since the last
    // select, and a register that must hold a value, before a select counts.
    std::vector<WordWriteStep> armingWords = {};
    int16_t guardRegister = -1;  // -1 none
    uint8_t guardValue = 0;

    // The chip's own table, or none when it takes the table a machine
    // description states (tableStated).
    std::span<const ClockEntry> table = {};
    bool tableStated = false;
    // A bit every select byte must carry on the wire (0: none).
    uint8_t selectEnable = 0;
    // A register whose power-on byte tells the chip apart; writes keep it.
    int8_t idRegister = -1;
};

}  // namespace vc::sim
