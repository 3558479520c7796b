// A simulated controller and clock chip for the helper's sequence tests:
// the simulator's own models, reached through SmbusPorts the way the helper
// reaches real ports, or as a kernel adapter would reach the chip.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/hw/smbus_ports.h"
#include "helper/kernel_sequences.h"
#include "helper/log.h"
#include "sim/clock_chip.h"
#include "sim/smbus_controller.h"

namespace vc::helper::test {

// 100, 112 and 133 MHz with select bytes 0x10, 0x20, 0x30.
inline std::vector<ClockEntry> SmallTable() {
    return {{100.0, 33.3, 100.0, 20, 0x10}, {112.0, 37.3, 112.0, 20, 0x20}, {133.0, 33.3, 133.0, 30, 0x30}};
}

// The generic chip takes SmallTable() and `mask`; the other models bring
// their own table.
struct SimChip {
    SimChip(const std::string& model, uint8_t mask)
        : chip(*sim::FindChipModel(model), model, 100.0, trace, [this](double mhz) { busMHz = mhz; },
               sim::StatedTable{mask, SmallTable()}) {}

    sim::Trace trace;
    double busMHz = 100.0;
    sim::ClockChip chip;
};

// The chip as a kernel adapter reaches it: whole transfers.
class SimChipAdapter final : public I2cAdapter {
public:
    explicit SimChipAdapter(sim::ClockChip& chip) : chip_(chip) {}
    std::optional<std::vector<uint8_t>> ReadBlock(uint8_t command) override { return chip_.BlockRead(command); }
    bool WriteBlock(uint8_t command, std::span<const uint8_t> bytes) override {
        chip_.BeginBlockWrite(command, static_cast<uint8_t>(bytes.size()));
        for (const uint8_t b : bytes) chip_.BlockWriteByte(b);
        chip_.EndBlockWrite(true);
        return true;
    }
    bool WriteWord(uint8_t command, uint16_t word) override {
        chip_.WordWrite(command, static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8));
        return true;
    }

private:
    sim::ClockChip& chip_;
};

// A controller of `kind` at `base` with the chip at 0x69, on ports; every
// access is recorded as "in +R" / "out +R=0xVV" / "wait". Register 0x0D
// (auxiliary control, which the model does not have) is a plain byte.
class SimPorts final : public SmbusPorts {
public:
    SimPorts(int32_t kind, uint16_t base, sim::ClockChip& chip, sim::Trace& trace)
        : base_(base), controller_(kind, base, bus_, trace) {
        bus_.Attach(0x69, &chip);
    }

    uint8_t In(uint16_t port) override {
        const auto reg = static_cast<uint16_t>(port - base_);
        ops.push_back("in +" + std::to_string(reg));
        return reg == 0x0D ? aux : controller_.Read(reg);
    }
    void Out(uint16_t port, uint8_t value) override {
        const auto reg = static_cast<uint16_t>(port - base_);
        ops.push_back("out +" + std::to_string(reg) + "=" + HexText(value, 2));
        if (reg == 0x0D) aux = value;
        else controller_.Write(reg, value);
    }
    void Wait() override { ops.push_back("wait"); }

    uint8_t Status() const { return controller_.Peek(0); }
    sim::SmbusController& controller() { return controller_; }

    std::vector<std::string> ops;
    uint8_t aux = 0;

private:
    uint16_t base_;
    sim::SmbusBus bus_;
    sim::SmbusController controller_;
};

}  // namespace vc::helper::test
