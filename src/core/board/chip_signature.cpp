#include "core/board/chip_signature.h"

namespace vc {

namespace {
constexpr uint8_t kWholeByte = 0xFF;
}  // namespace

bool ReadBackMatches(const ClockGenNotes& notes, std::span<const uint8_t> read) {
    if (notes.readBack.empty() || read.size() != notes.readBack.size()) return false;
    for (size_t i = 0; i < read.size(); ++i) {
        const uint8_t mask = i < notes.readBackMask.size() ? notes.readBackMask[i] : kWholeByte;
        if ((read[i] & mask) != (notes.readBack[i] & mask)) return false;
    }
    return true;
}

std::optional<std::vector<SignatureDifference>> DifferencesTheBiosMayHaveMade(const ClockGenNotes& notes,
                                                                              std::span<const uint8_t> read) {
    if (notes.readBack.empty() || read.size() != notes.readBack.size()) return std::nullopt;
    std::vector<SignatureDifference> differences;
    for (size_t i = 0; i < read.size(); ++i) {
        const uint8_t mask = i < notes.readBackMask.size() ? notes.readBackMask[i] : kWholeByte;
        if ((read[i] & mask) == (notes.readBack[i] & mask)) continue;
        const bool outputControl = i >= kFirstOutputControlByte && i <= kLastOutputControlByte;
        const bool onlyCleared = (read[i] & mask & ~notes.readBack[i]) == 0;
        if (!outputControl || !onlyCleared) return std::nullopt;
        differences.push_back({i, read[i], notes.readBack[i], mask});
    }
    if (differences.size() > kMostBiosSetBytes) return std::nullopt;
    return differences;
}

std::vector<size_t> ClockGensMatching(const Database& db, std::span<const uint8_t> read) {
    std::vector<size_t> matches;
    // Notes may be missing altogether (a file without the notes block).
    for (size_t i = 0; i < db.clockGens.size() && i < db.clockGenNotes.size(); ++i) {
        if (ReadBackMatches(db.clockGenNotes[i], read)) matches.push_back(i);
    }
    return matches;
}

}  // namespace vc
