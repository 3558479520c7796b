// Clock-generator chips at SMBus address 0xD2/0xD3: one engine, driven by a
// table of models (clock_chip_models.cpp), each a register file plus the
// rules for where the frequency select lives and what must come first.
//
// A select takes effect when its byte equals (low byte of an entry's
// chipValue) | (low byte of firstByteMask): the bus clock becomes that
// entry's busMHz. Any other byte, or a select the model does not accept yet,
// leaves the clock alone and is recorded as rejected.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/board/records.h"
#include "sim/smbus_target.h"
#include "sim/trace.h"

namespace vc::sim {

inline constexpr size_t kChipRegisterCount = 32;

struct WordWriteStep {
    uint8_t command;
    uint8_t low;
    uint8_t high;
};

struct ChipModel {
    std::string_view name;
    uint8_t readBackLength;     // bytes a block read returns (registers 0..n-1)
    // Where the select byte is: byte selectIndex of a block write of at
    // least fullBlockLength bytes; a shorter block carries it in byte 0 when
    // shortBlockSelects, else not at all.
    uint8_t selectIndex;
    uint8_t fullBlockLength;
    bool shortBlockSelects;
    uint8_t maxSelectBlockLength;  // longer blocks only fill registers
    int16_t selectCommand;         // the command a select needs; -1 any
    // Word writes that must have been seen, in this order, since the last
    // select, and a register that must hold a value, before a select counts.
    std::vector<WordWriteStep> armingWords;
    int16_t guardRegister;         // -1 none
    uint8_t guardValue;
    std::array<uint8_t, kChipRegisterCount> powerOnRegisters;
};

// The model of that name, or nullptr.
const ChipModel* FindChipModel(std::string_view name);
std::vector<std::string_view> ChipModelNames();

struct RejectedSelect {
    uint8_t value;
    std::string reason;
};

class ClockChip : public SmbusTarget {
public:
    using BusClockSink = std::function<void(double busMHz)>;

    ClockChip(const ChipModel& model, std::string name, int32_t firstByteMask,
              std::vector<ClockEntry> entries, Trace& trace, BusClockSink setBusClock);

    void BeginBlockWrite(uint8_t command, uint8_t count) override;
    void BlockWriteByte(uint8_t value) override;
    void EndBlockWrite(bool complete) override;
    void WordWrite(uint8_t command, uint8_t low, uint8_t high) override;
    std::vector<uint8_t> BlockRead(uint8_t command) override;

    const ChipModel& model() const { return model_; }
    const std::string& name() const { return name_; }
    const std::array<uint8_t, kChipRegisterCount>& registers() const { return registers_; }
    void SetRegisters(const std::vector<uint8_t>& bytes);
    const std::vector<RejectedSelect>& rejected() const { return rejected_; }
    // The select byte of the entry running at busMHz, if one does.
    bool SelectByteFor(double busMHz, uint8_t& value) const;

private:
    void Select(uint8_t value);
    bool Armed() const;

    const ChipModel& model_;
    std::string name_;
    uint8_t mask_;
    std::vector<ClockEntry> entries_;
    Trace& trace_;
    BusClockSink setBusClock_;

    std::array<uint8_t, kChipRegisterCount> registers_{};
    std::vector<RejectedSelect> rejected_;
    size_t armingStep_ = 0;
    // The block write in progress.
    size_t byteIndex_ = 0;
    int selectAt_ = -1;
};

}  // namespace vc::sim
