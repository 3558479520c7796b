#include "sim/clock_chip.h"

#include <cmath>
#include <limits>

#include "sim/fs_select.h"

namespace vc::sim {
namespace {

uint8_t BitMask(int bit) { return static_cast<uint8_t>(1U << bit); }

}  // namespace

ClockChip::ClockChip(const ChipModel& model, std::string name, double bootBusMHz, Trace& trace,
                     BusClockSink setBusClock, StatedTable stated)
    : model_(model),
      name_(std::move(name)),
      trace_(trace),
      setBusClock_(std::move(setBusClock)),
      registers_(model.powerOnRegisters) {
    if (model_.fs != nullptr) {
        PowerOnFs(bootBusMHz);
        return;
    }
    if (model_.tableStated) {
        entries_ = std::move(stated.entries);
        mask_ = static_cast<uint8_t>(stated.firstByteMask & 0xFF);
    } else {
        entries_.assign(model_.table.begin(), model_.table.end());
        mask_ = model_.selectEnable;
    }
    if (model_.idRegister >= 0) readOnly_[static_cast<size_t>(model_.idRegister)] = 0xFF;
    PowerOnSelectByte(bootBusMHz);
}

// The select register shows the entry the board booted with, when its
// clock is exactly one of the table's; the chip runs at the nearest row.
void ClockChip::PowerOnSelectByte(double bootBusMHz) {
    for (const auto& e : entries_) {
        if (std::fabs(e.busMHz - bootBusMHz) < 1e-9) {
            registers_[model_.selectIndex] = static_cast<uint8_t>((e.chipValue & 0xFF) | mask_);
            break;
        }
    }
    running_ = {-1, bootBusMHz, 0.0, 0.0};
    double nearest = std::numeric_limits<double>::infinity();
    for (const auto& e : entries_) {
        if (std::fabs(e.busMHz - bootBusMHz) < nearest) {
            nearest = std::fabs(e.busMHz - bootBusMHz);
            running_ = {e.chipValue & 0xFF, e.busMHz, e.pciMHz, e.memMHz};
        }
    }
}

void ClockChip::PowerOnFs(double bootBusMHz) {
    const FsRules& fs = *model_.fs;
    strapCode_ = FsStrapCode(fs, bootBusMHz);
    ShowFsStrap(fs, strapCode_, registers_);
    MarkFsReadOnly(fs, readOnly_);
    running_ = FsClocks(strapCode_).value_or(ChipClocks{strapCode_, bootBusMHz, 0.0, 0.0});
}

void ClockChip::SetRegisters(const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < bytes.size() && i < registers_.size(); ++i) registers_[i] = bytes[i];
}

std::optional<ChipClocks> ClockChip::EntryClocks(uint8_t value) const {
    if ((value & model_.selectEnable) != model_.selectEnable) return std::nullopt;
    for (const auto& e : entries_) {
        if (static_cast<uint8_t>((e.chipValue & 0xFF) | mask_) == value) {
            return ChipClocks{e.chipValue & 0xFF, e.busMHz, e.pciMHz, e.memMHz};
        }
    }
    return std::nullopt;
}

std::optional<ChipClocks> ClockChip::FsClocks(int code) const {
    const FsFrequency* row = FsRow(*model_.fs, code);
    if (row == nullptr) return std::nullopt;
    const double bus = row->busCentiMHz / 100.0;
    return ChipClocks{code, bus, bus / row->pciDivider, bus * row->memoryMultiplier};
}

std::optional<ChipClocks> ClockChip::Decode(uint8_t value) const {
    if (model_.fs == nullptr) return EntryClocks(value);
    const FsRules& fs = *model_.fs;
    if ((value & BitMask(fs.hwSelectBit)) == 0) return std::nullopt;
    const auto fixedBits = static_cast<uint8_t>(~FsSelectBits(fs));
    if (((value ^ model_.powerOnRegisters[0]) & fixedBits) != 0) return std::nullopt;
    return FsClocks(FsCodeIn(fs, value));
}

void ClockChip::BeginBlockWrite(uint8_t command, uint8_t count) {
    byteIndex_ = 0;
    selectAt_ = -1;
    if (ignoresWrites_) return;
    if (model_.fs != nullptr) return;  // the select is register 0 once the block is complete
    if (count > model_.maxSelectBlockLength) return;
    if (model_.selectCommand >= 0 && command != model_.selectCommand) return;
    if (count >= model_.fullBlockLength) selectAt_ = model_.selectIndex;
    else if (model_.shortBlockSelects) selectAt_ = 0;
}

void ClockChip::BlockWriteByte(uint8_t value) {
    if (ignoresWrites_) return;
    if (byteIndex_ == 0) firstByte_ = value;
    const size_t registerCount = model_.fs != nullptr ? model_.readBackLength : registers_.size();
    if (byteIndex_ < registerCount) {
        uint8_t& reg = registers_[byteIndex_];
        const uint8_t keep = readOnly_[byteIndex_];
        reg = static_cast<uint8_t>((reg & keep) | (value & ~keep));
    }
    if (static_cast<int>(byteIndex_) == selectAt_) SelectByte(value);
    ++byteIndex_;
}

void ClockChip::EndBlockWrite(bool complete) {
    if (ignoresWrites_) return;
    // Bytes already on the wire stay written; an early end only means the
    // remaining registers keep their values, and a frequency-select chip
    // does not act on a block it did not get whole.
    if (model_.fs != nullptr && complete && byteIndex_ > 0) SelectFs(firstByte_);
    selectAt_ = -1;
}

void ClockChip::WordWrite(uint8_t command, uint8_t low, uint8_t high) {
    const auto& steps = model_.armingWords;
    if (steps.empty() || ignoresWrites_) return;
    auto matches = [&](const WordWriteStep& s) {
        return s.command == command && s.low == low && s.high == high;
    };
    if (armingStep_ < steps.size() && matches(steps[armingStep_])) ++armingStep_;
    else armingStep_ = matches(steps[0]) ? 1 : 0;
}

std::vector<uint8_t> ClockChip::BlockRead(uint8_t /*command*/) {
    return {registers_.begin(), registers_.begin() + model_.readBackLength};
}

bool ClockChip::Armed() const {
    if (armingStep_ < model_.armingWords.size()) return false;
    if (model_.guardRegister >= 0 &&
        registers_[static_cast<size_t>(model_.guardRegister)] != model_.guardValue) {
        return false;
    }
    return true;
}

void ClockChip::SelectByte(uint8_t value) {
    ChipSelect event{name_, value, false, 0.0, {}};
    std::optional<ChipClocks> clocks;
    if (!Armed()) {
        event.reason = armingStep_ < model_.armingWords.size() ? "word writes missing"
                                                               : "guard register not set";
    } else if ((value & model_.selectEnable) != model_.selectEnable) {
        event.reason = "select-enable bit clear";
    } else {
        clocks = EntryClocks(value);
        if (!clocks) event.reason = "no table entry";
    }
    armingStep_ = 0;  // every select needs its preparation anew
    Finish(std::move(event), clocks);
}

void ClockChip::SelectFs(uint8_t value) {
    const FsRules& fs = *model_.fs;
    ChipSelect event{name_, value, false, 0.0, {}};
    if ((registers_[0] & BitMask(fs.hwSelectBit)) == 0) {
        // The latched straps decide again; the byte selected nothing.
        event.reason = "hw-select bit clear: strap code " + std::to_string(strapCode_);
        const ChipClocks strap = FsClocks(strapCode_).value_or(running_);
        if (strap.busMHz != running_.busMHz) setBusClock_(strap.busMHz);
        running_ = strap;
        Finish(std::move(event), std::nullopt);
        return;
    }
    const int code = FsCodeIn(fs, registers_[0]);
    const auto clocks = FsClocks(code);
    if (!clocks) event.reason = "no table entry for code " + std::to_string(code);
    Finish(std::move(event), clocks);
}

void ClockChip::Finish(ChipSelect event, const std::optional<ChipClocks>& clocks) {
    if (clocks) {
        event.accepted = true;
        event.busMHz = clocks->busMHz;
        running_ = *clocks;
        setBusClock_(clocks->busMHz);
    } else {
        rejected_.push_back({event.value, event.reason});
    }
    trace_.Add(std::move(event));
}

}  // namespace vc::sim
