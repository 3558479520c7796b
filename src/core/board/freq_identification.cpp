#include "core/board/freq_identification.h"

#include <array>
#include <cmath>

#include "core/board/board_messages.h"
#include "core/board/clock_table.h"
#include "core/hw/pci_config.h"

namespace vc {
namespace {

constexpr std::array<BusBand, 3> kBusBands{{
    {66.0, 1, 66.0},
    {100.0, 2, 100.0},
    {133.0, 3, 133.0},
}};

// A candidate this far from the nominal clock or farther is never taken.
constexpr double kFarthestDistanceMHz = 100.0;

BusResult ReadMemoryClass(SystemInfo& info, double& memClassMHz) {
    memClassMHz = kMemClass100MHz;
    if (info.board.chipsetCode != kChipsetReadsMemClass) return {1};
    uint32_t value = 0;
    const BusResult read = ScanPCIValue(info.Bus(), 0, 0, 0, kMemClassRegister, value);
    if ((value & kMemClass133Bit) != 0) memClassMHz = kMemClass133MHz;
    return read;
}

}  // namespace

std::optional<BusBand> ClassifyBus(double busMHz) {
    std::optional<BusBand> band;
    for (const BusBand& candidate : kBusBands) {
        if (busMHz >= candidate.lowestMHz) band = candidate;
    }
    return band;
}

std::optional<int32_t> NearestEntryOfBand(const ClockGenRecord& chip, int32_t bandCode,
                                          double nominalMHz) {
    std::optional<int32_t> best;
    double bestDistance = kFarthestDistanceMHz;
    const int32_t count = UsableEntryCount(&chip);
    for (int32_t i = 0; i < count; ++i) {
        const ClockEntry& entry = chip.entries[static_cast<size_t>(i)];
        if (entry.bandCode != bandCode) continue;
        const double distance = std::fabs(entry.busMHz - nominalMHz);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i + 1;
        }
    }
    return best;
}

BusResult ScanCPUFreqValue(SystemInfo& info, Context& ctx) {
    if (info.busClockMHz == 0.0) return {0};
    const BusResult read = ReadMemoryClass(info, info.memBaseClockMHz);
    if (read.Faulted()) return read;
    const std::optional<BusBand> band = ClassifyBus(info.busClockMHz);
    if (!band) return {0};
    const int32_t bandCode = band->digit * 10 + (info.memBaseClockMHz >= kMemClass133MHz ? 1 : 0);

    std::optional<int32_t> index;
    if (const ClockGenRecord* chip = info.clockGen()) {
        index = NearestEntryOfBand(*chip, bandCode, band->nominalMHz);
    }
    if (!index) {
        ctx.shell.ShowMessage(kCaptionError, kMsgUnknownCpu);
        return {0};
    }
    info.defaultIndex = *index;
    info.appliedIndex = *index;
    info.currentIndex = *index;
    return {1};
}

}  // namespace vc
