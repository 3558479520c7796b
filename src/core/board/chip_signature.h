// Telling a clock generator by what a block read returns: each chip of the
// database may carry a read-back signature (its bytes and, per byte, the
// bits that tell it; database.h). A chip matches when its signature is not
// empty, the chip reported exactly as many bytes, and every byte agrees in
// the bits its mask keeps. A mask shorter than the signature compares the
// bytes it does not cover whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/board/database.h"

namespace vc {

bool ReadBackMatches(const ClockGenNotes& notes, std::span<const uint8_t> read);

// The indexes into db.clockGens of every chip whose signature matches, in
// database order.
std::vector<size_t> ClockGensMatching(const Database& db, std::span<const uint8_t> read);

// A byte of a read-back that disagrees with a signature in the bits its mask
// keeps.
struct SignatureDifference {
    size_t index = 0;
    uint8_t read = 0;
    uint8_t expected = 0;
    uint8_t mask = 0;
};

// Where a read-back of the signature's length differs from it, when the
// difference is what a BIOS does at start-up: it turns unused clock outputs
// off, clearing bits of the output-control bytes (bytes 1 to 5 of these ICS
// parts; byte 0 holds the frequency select, later bytes identify the part).
// At most kMostBiosSetBytes bytes may differ, each only in bits the read-back
// has clear and the signature set; nothing otherwise.
inline constexpr size_t kFirstOutputControlByte = 1;
inline constexpr size_t kLastOutputControlByte = 5;
inline constexpr size_t kMostBiosSetBytes = 1;
std::optional<std::vector<SignatureDifference>> DifferencesTheBiosMayHaveMade(const ClockGenNotes& notes,
                                                                              std::span<const uint8_t> read);

}  // namespace vc
