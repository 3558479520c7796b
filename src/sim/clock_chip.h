// Clock-generator chips at SMBus address 0xD2/0xD3: one engine, driven by
// the models of chip_model.h (data), each a register file plus the rules for
// where the frequency select lives and what must come first.
//
// Select-byte chips: a select takes effect when its byte equals (low byte of
// an entry's chipValue) | (the chip's select-enable bit, or the stated
// table's mask); the bus clock becomes that entry's busMHz. Any other byte,
// or a select the model does not accept yet, leaves the clock alone and is
// recorded as rejected.
//
// Frequency-select chips: a block write of N bytes (any command) fills
// registers 0..N-1 (bytes past the last register go nowhere); the inverted
// strap bits keep their value. Once a complete block has written register
// 0, the hardware-select bit decides: set, the FS code in register 0
// selects its table row (a code without one is rejected and the clock
// stays); clear, the chip runs at its strap code again, and the byte counts
// as rejected (it selected nothing).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/board/records.h"
#include "sim/chip_model.h"
#include "sim/smbus_target.h"
#include "sim/trace.h"

namespace vc::sim {

// The clocks of one table row. code: the FS code (frequency-select chips)
// or the entry's select byte as its table gives it, without the
// select-enable bit or mask (select-byte chips).
struct ChipClocks {
    int code = 0;
    double busMHz = 0.0;
    double pciMHz = 0.0;
    double memMHz = 0.0;  // 0: the table gives no memory clock
};

// The model of that name, or nullptr.
const ChipModel* FindChipModel(std::string_view name);
std::vector<std::string_view> ChipModelNames();

// The table a machine description states, for a model that takes one.
struct StatedTable {
    int32_t firstByteMask = 0;  // its low byte is ORed into every select byte
    std::vector<ClockEntry> entries;
};

struct RejectedSelect {
    uint8_t value;
    std::string reason;
};

class ClockChip : public SmbusTarget {
public:
    using BusClockSink = std::function<void(double busMHz)>;

    // bootBusMHz is the clock the board powers on with: a frequency-select
    // chip latches the strap code nearest it, a select-byte chip shows the
    // entry of exactly that clock in its select register. `stated` is used
    // only by a model with tableStated; the others bring their own table.
    ClockChip(const ChipModel& model, std::string name, double bootBusMHz, Trace& trace,
              BusClockSink setBusClock, StatedTable stated = {});

    void BeginBlockWrite(uint8_t command, uint8_t count) override;
    void BlockWriteByte(uint8_t value) override;
    void EndBlockWrite(bool complete) override;
    void WordWrite(uint8_t command, uint8_t low, uint8_t high) override;
    std::vector<uint8_t> BlockRead(uint8_t command) override;

    // What the chip would run at if `value` were written as its select byte
    // (to register 0, or where the model takes the select); nullopt when it
    // would not take it as a select: the select-enable or hardware-select
    // bit clear, a code or byte without table entry, or (frequency-select
    // chips) any register-0 bit besides the FS and hardware-select bits
    // differing from its power-on value.
    std::optional<ChipClocks> Decode(uint8_t value) const;
    // What it runs at now: the last select it took, else the row it
    // powered on with (strap code, or the entry nearest the boot clock).
    ChipClocks Current() const { return running_; }

    const ChipModel& model() const { return model_; }
    const std::string& name() const { return name_; }
    const std::array<uint8_t, kChipRegisterCount>& registers() const { return registers_; }
    void SetRegisters(const std::vector<uint8_t>& bytes);
    // From now on every write is acknowledged and goes nowhere: registers,
    // arming and clock stay as they are, and no select is traced.
    void IgnoreWrites() { ignoresWrites_ = true; }
    const std::vector<RejectedSelect>& rejected() const { return rejected_; }

private:
    void PowerOnSelectByte(double bootBusMHz);
    void PowerOnFs(double bootBusMHz);
    std::optional<ChipClocks> EntryClocks(uint8_t value) const;
    std::optional<ChipClocks> FsClocks(int code) const;
    void SelectByte(uint8_t value);
    void SelectFs(uint8_t value);
    bool Armed() const;
    void Finish(ChipSelect event, const std::optional<ChipClocks>& clocks);

    const ChipModel& model_;
    std::string name_;
    std::vector<ClockEntry> entries_;  // select-byte chips
    uint8_t mask_ = 0;                 // ORed into every entry's select byte
    Trace& trace_;
    BusClockSink setBusClock_;

    std::array<uint8_t, kChipRegisterCount> registers_{};
    std::array<uint8_t, kChipRegisterCount> readOnly_{};  // bits writes leave alone
    ChipClocks running_;
    int strapCode_ = 0;  // frequency-select chips
    std::vector<RejectedSelect> rejected_;
    bool ignoresWrites_ = false;
    size_t armingStep_ = 0;
    // The block write in progress.
    size_t byteIndex_ = 0;
    int selectAt_ = -1;
    uint8_t firstByte_ = 0;
};

}  // namespace vc::sim
