#include "core/board/frequency_stepping.h"

#include "core/board/clock_programming.h"
#include "core/board/clock_table.h"
#include "core/board/freq_identification.h"

namespace vc {
namespace {

WriteOutcome WriteEntry(SystemInfo& info, const ClockEntry& entry) {
    const uint8_t select = SelectByte(entry);
    return ProgramClock(info.clockWriter, info.Bus(), 1, &select);
}

// The limits are measured from the nominal clock of the default entry's
// band; below the lowest band from the entry's own clock.
double BaseBusClock(double busMHz) {
    const std::optional<BusBand> band = ClassifyBus(busMHz);
    return band ? band->nominalMHz : busMHz;
}

}  // namespace

int32_t RefreshEntry(SystemInfo& info) {
    const ClockEntry* entry = EntryAt(info, info.currentIndex);
    if (entry == nullptr) return 0;
    info.busClockMHz = entry->busMHz;
    info.pciClockMHz = entry->pciMHz;
    info.memClockMHz = entry->memMHz;
    info.cpuClockMHz = info.multiplier * entry->busMHz;
    return 1;
}

int32_t PreviousEntry(SystemInfo& info) {
    if (EntryAt(info, info.currentIndex) == nullptr) return 0;
    if (info.currentIndex > 1) --info.currentIndex;
    return RefreshEntry(info);
}

int32_t NextEntry(SystemInfo& info) {
    if (EntryAt(info, info.currentIndex) == nullptr) return 0;
    if (info.currentIndex < UsableEntryCount(info.clockGen())) ++info.currentIndex;
    return RefreshEntry(info);
}

int32_t DefaultEntry(SystemInfo& info) {
    if (EntryAt(info, info.defaultIndex) == nullptr) return 0;
    info.currentIndex = info.defaultIndex;
    return RefreshEntry(info);
}

WriteOutcome ApplyEntry(SystemInfo& info) {
    const ClockEntry* entry = EntryAt(info, info.currentIndex);
    if (entry == nullptr) return {0};
    WriteOutcome outcome = WriteEntry(info, *entry);
    if (outcome.Faulted()) return outcome;
    info.appliedIndex = info.currentIndex;
    outcome.answer = 1;
    return outcome;
}

std::optional<int32_t> FindOptimalEntry(const SystemInfo& info) {
    const ClockEntry* reference = EntryAt(info, info.defaultIndex);
    if (reference == nullptr || reference->busMHz == 0.0 || reference->pciMHz == 0.0) {
        return std::nullopt;
    }
    const double memReference = (reference->memMHz != 0.0 && info.memBaseClockMHz > 0.0)
                                    ? info.memBaseClockMHz
                                    : kMemReferenceFallbackMHz;
    const double busLow = BaseBusClock(reference->busMHz);
    const double busHigh = busLow * info.board.maxBusRatio;
    const double pciHigh = kPciNominalMHz * info.board.maxPciRatio;
    const double memHigh = memReference * info.board.maxMemRatio;

    std::optional<int32_t> best;
    double bestBus = kLowestOptimalBusMHz;
    int32_t index = 0;
    for (const ClockEntry& entry : TableOf(info)) {
        ++index;
        const bool qualifies = entry.busMHz >= busLow && entry.busMHz <= busHigh &&
                               entry.pciMHz <= pciHigh &&
                               (memHigh == 0.0 || entry.memMHz <= memHigh);
        if (qualifies && entry.busMHz >= bestBus) {
            bestBus = entry.busMHz;
            best = index;
        }
    }
    return best;
}

WriteOutcome ApplyOptimalEntry(SystemInfo& info) {
    const std::optional<int32_t> optimal = FindOptimalEntry(info);
    const ClockEntry* entry = optimal ? EntryAt(info, *optimal) : nullptr;
    if (entry == nullptr) return {0};
    info.appliedIndex = *optimal;
    info.currentIndex = *optimal;
    WriteOutcome outcome = WriteEntry(info, *entry);
    outcome.answer = 1;
    return outcome;
}

}  // namespace vc
