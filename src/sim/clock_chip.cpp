#include "sim/clock_chip.h"

#include <cmath>

namespace vc::sim {

ClockChip::ClockChip(const ChipModel& model, std::string name, int32_t firstByteMask,
                     std::vector<ClockEntry> entries, Trace& trace, BusClockSink setBusClock)
    : model_(model),
      name_(std::move(name)),
      mask_(static_cast<uint8_t>(firstByteMask & 0xFF)),
      entries_(std::move(entries)),
      trace_(trace),
      setBusClock_(std::move(setBusClock)),
      registers_(model.powerOnRegisters) {}

void ClockChip::SetRegisters(const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < bytes.size() && i < registers_.size(); ++i) registers_[i] = bytes[i];
}

bool ClockChip::SelectByteFor(double busMHz, uint8_t& value) const {
    for (const auto& e : entries_) {
        if (std::fabs(e.busMHz - busMHz) < 1e-9) {
            value = static_cast<uint8_t>((e.chipValue & 0xFF) | mask_);
            return true;
        }
    }
    return false;
}

void ClockChip::BeginBlockWrite(uint8_t command, uint8_t count) {
    byteIndex_ = 0;
    selectAt_ = -1;
    if (count > model_.maxSelectBlockLength) return;
    if (model_.selectCommand >= 0 && command != model_.selectCommand) return;
    if (count >= model_.fullBlockLength) selectAt_ = model_.selectIndex;
    else if (model_.shortBlockSelects) selectAt_ = 0;
}

void ClockChip::BlockWriteByte(uint8_t value) {
    if (byteIndex_ < registers_.size()) registers_[byteIndex_] = value;
    if (static_cast<int>(byteIndex_) == selectAt_) Select(value);
    ++byteIndex_;
}

void ClockChip::EndBlockWrite(bool /*complete*/) {
    // Bytes already on the wire stay written; an early end only means the
    // remaining registers keep their values.
    selectAt_ = -1;
}

void ClockChip::WordWrite(uint8_t command, uint8_t low, uint8_t high) {
    const auto& steps = model_.armingWords;
    if (steps.empty()) return;
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

void ClockChip::Select(uint8_t value) {
    ChipSelect event{name_, value, false, 0.0, {}};
    if (!Armed()) {
        event.reason = armingStep_ < model_.armingWords.size() ? "word writes missing"
                                                               : "guard register not set";
    } else {
        for (const auto& e : entries_) {
            if (static_cast<uint8_t>((e.chipValue & 0xFF) | mask_) == value) {
                event.accepted = true;
                event.busMHz = e.busMHz;
                break;
            }
        }
        if (!event.accepted) event.reason = "no table entry";
    }
    armingStep_ = 0;  // every select needs its preparation anew
    if (event.accepted) setBusClock_(event.busMHz);
    else rejected_.push_back({value, event.reason});
    trace_.Add(event);
}

}  // namespace vc::sim
