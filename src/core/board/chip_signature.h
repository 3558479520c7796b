// Telling a clock generator by what a block read returns: each chip of the
// database may carry a read-back signature (its bytes and, per byte, the
// bits that tell it; database.h). A chip matches when its signature is not
// empty, the chip reported exactly as many bytes, and every byte agrees in
// the bits its mask keeps. A mask shorter than the signature compares the
// bytes it does not cover whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/board/database.h"

namespace vc {

bool ReadBackMatches(const ClockGenNotes& notes, std::span<const uint8_t> read);

// The indexes into db.clockGens of every chip whose signature matches, in
// database order.
std::vector<size_t> ClockGensMatching(const Database& db, std::span<const uint8_t> read);

}  // namespace vc
