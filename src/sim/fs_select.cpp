#include "sim/fs_select.h"

#include <cmath>
#include <limits>

namespace vc::sim {
namespace {

uint8_t BitMask(int bit) { return static_cast<uint8_t>(1U << bit); }

void SetBit(std::span<uint8_t> registers, size_t reg, int bit, bool on) {
    if (reg >= registers.size()) return;
    registers[reg] = static_cast<uint8_t>(on ? registers[reg] | BitMask(bit) : registers[reg] & ~BitMask(bit));
}

bool Strappable(const FsRules& fs, int code) {
    for (int i = 0; i < kFsPinCount; ++i) {
        const FsPin& pin = fs.pins[static_cast<size_t>(i)];
        const bool hasPin = pin.selectBit >= 0 || pin.strapInverted.reg >= 0;
        if ((code & (1 << i)) != 0 && !hasPin) return false;
    }
    return true;
}

}  // namespace

int FsCodeIn(const FsRules& fs, uint8_t register0) {
    int code = 0;
    for (int i = 0; i < kFsPinCount; ++i) {
        const int8_t bit = fs.pins[static_cast<size_t>(i)].selectBit;
        if (bit >= 0 && (register0 & BitMask(bit)) != 0) code |= 1 << i;
    }
    return code;
}

uint8_t FsSelectBits(const FsRules& fs) {
    uint8_t bits = BitMask(fs.hwSelectBit);
    for (const FsPin& pin : fs.pins) {
        if (pin.selectBit >= 0) bits = static_cast<uint8_t>(bits | BitMask(pin.selectBit));
    }
    return bits;
}

const FsFrequency* FsRow(const FsRules& fs, int code) {
    if (code < 0 || static_cast<size_t>(code) >= fs.table.size()) return nullptr;
    return &fs.table[static_cast<size_t>(code)];
}

int FsStrapCode(const FsRules& fs, double bootBusMHz) {
    int best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (size_t code = 0; code < fs.table.size(); ++code) {
        if (!Strappable(fs, static_cast<int>(code))) continue;
        const double distance = std::fabs(fs.table[code].busCentiMHz / 100.0 - bootBusMHz);
        if (distance < bestDistance) {
            best = static_cast<int>(code);
            bestDistance = distance;
        }
    }
    return best;
}

void ShowFsStrap(const FsRules& fs, int code, std::span<uint8_t> registers) {
    for (int i = 0; i < kFsPinCount; ++i) {
        const FsPin& pin = fs.pins[static_cast<size_t>(i)];
        const bool on = (code & (1 << i)) != 0;
        if (pin.selectBit >= 0) SetBit(registers, 0, pin.selectBit, on);
        if (pin.strapInverted.reg >= 0) {
            SetBit(registers, static_cast<size_t>(pin.strapInverted.reg), pin.strapInverted.bit, !on);
        }
    }
}

void MarkFsReadOnly(const FsRules& fs, std::span<uint8_t> readOnly) {
    for (const FsPin& pin : fs.pins) {
        if (pin.strapInverted.reg >= 0) {
            SetBit(readOnly, static_cast<size_t>(pin.strapInverted.reg), pin.strapInverted.bit, true);
        }
    }
}

}  // namespace vc::sim
