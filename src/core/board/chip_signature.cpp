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

std::vector<size_t> ClockGensMatching(const Database& db, std::span<const uint8_t> read) {
    std::vector<size_t> matches;
    // Notes may be missing altogether (a file without the notes block).
    for (size_t i = 0; i < db.clockGens.size() && i < db.clockGenNotes.size(); ++i) {
        if (ReadBackMatches(db.clockGenNotes[i], read)) matches.push_back(i);
    }
    return matches;
}

}  // namespace vc
