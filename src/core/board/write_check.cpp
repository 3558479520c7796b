#include "core/board/write_check.h"

#include <algorithm>
#include <cmath>

#include "core/base/text_field.h"
#include "core/board/chip_block_read.h"
#include "core/board/clock_table.h"

namespace vc {
namespace {

// The measurement (core/cpu/cpu_speed.cpp) reports the processor clock in
// whole MHz, and it stops once three tries agree within 1 MHz; the bus clock
// is that divided by the multiplier, so it resolves 1 MHz / multiplier and
// may wander by twice that. Each try counts microseconds of a window of 1000
// counter ticks (about 280 us at 3.58 MHz), whose truncation to whole
// microseconds is worth up to 0.4 %. 1 % of the clock, and never under
// 0.5 MHz, stays clear of both; a select the chip ignored is one table step
// away, several MHz.
constexpr double kToleranceShare = 0.01;
constexpr double kToleranceFloorMHz = 0.5;
constexpr double kMeasurementStepsAllowed = 2.0;

// Only a chip known to answer a block read is read: on one without
// read-back the read can hang the controller.
std::optional<uint8_t> ReadBackSelect(SystemInfo& info, SmbusVariant variant) {
    const std::optional<size_t> index = ReadBackSelectIndex(variant);
    if (!index) return std::nullopt;
    if (BlockReadOf(FieldText(info.clockWriter.access.chipName)).blockRead != BlockRead::Answers) return std::nullopt;
    const auto block = info.Bus().ReadClockGenBlock(info.clockWriter.access);
    if (!block || block->size() <= *index) return std::nullopt;
    return (*block)[*index];
}

}  // namespace

double BusToleranceMHz(double expectedBusMHz, double multiplier) {
    const double step = multiplier > 0.0 ? kMeasurementStepsAllowed / multiplier : 0.0;
    return std::max({kToleranceFloorMHz, kToleranceShare * expectedBusMHz, step});
}

WriteCheck CheckAppliedEntry(SystemInfo& info, const WriteOutcome& outcome) {
    WriteCheck check;
    const ClockEntry* entry = EntryAt(info, info.appliedIndex);
    if (outcome.answer == 0 || outcome.Faulted() || entry == nullptr || !info.Bus().ReachesHardware()) return check;
    check.expectedBusMHz = entry->busMHz;

    if (const auto variant = WriteVariantFor(info.clockWriter.access)) {
        check.readBackSelect = ReadBackSelect(info, *variant);
        if (check.readBackSelect) {
            check.checked = true;
            check.expectedSelect =
                static_cast<uint8_t>(SelectByte(*entry) | (info.clockWriter.access.firstByteMask & 0xFF));
            check.ok = *check.readBackSelect == *check.expectedSelect;
        }
    }

    // A failed measurement leaves no sample; without a multiplier there is
    // no bus clock to compare.
    const CPUInfo& cpu = info.cpu;
    if (cpu.speed.roundedMHz != 0 && cpu.multiplier != 0.0) {
        check.checked = true;
        check.measuredBusMHz = cpu.busClockMHz;
        if (std::fabs(cpu.busClockMHz - entry->busMHz) > BusToleranceMHz(entry->busMHz, cpu.multiplier)) {
            check.ok = false;
        }
    }
    return check;
}

}  // namespace vc
