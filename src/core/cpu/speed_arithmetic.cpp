#include "core/cpu/speed_arithmetic.h"

namespace vc {

std::optional<uint32_t> TicksToMicroseconds(uint32_t ticks, uint32_t frequency) {
    const uint32_t divisor = frequency / 10;
    if (divisor == 0) return std::nullopt;
    return static_cast<uint32_t>(uint64_t{ticks} * 100000u / divisor);
}

uint32_t RoundMicroseconds(uint32_t us, uint32_t frequency) {
    return us % frequency > frequency / 2 ? us + 1 : us;
}

std::optional<uint32_t> RoundedQuotient(uint32_t cycles, uint32_t us) {
    if (us == 0) return std::nullopt;
    return cycles / us + (cycles % us > us / 2 ? 1u : 0u);
}

bool TriesAgree(uint32_t f, uint32_t f2, uint32_t f3) {
    const uint32_t total = f + f2 + f3;
    for (const uint32_t value : {f, f2, f3}) {
        const int64_t difference = static_cast<int32_t>(3u * value - total);
        if (difference > 3 || difference < -3) return false;
    }
    return true;
}

std::optional<SpeedSample> FinalSample(uint32_t totalCycles, uint32_t totalUs) {
    if (totalUs == 0) return std::nullopt;
    // 64-bit products: a fast processor over twenty tries would wrap 32 bits.
    uint64_t tenths = uint64_t{totalCycles} * 10u / totalUs;
    const uint64_t hundredths = uint64_t{totalCycles} * 100u / totalUs;
    if (hundredths - tenths * 10u >= 6u) tenths += 1;
    const uint32_t raw = totalCycles / totalUs;
    const uint32_t rounded = raw + (tenths - uint64_t{raw} * 10u >= 6u ? 1u : 0u);
    return SpeedSample{totalCycles, totalUs, raw, rounded};
}

}  // namespace vc
