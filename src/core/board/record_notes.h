// The notes block that may follow the last record of MBInfo.dat and
// CGInfo.dat: what each record's facts rest on, and how a chip answers a
// block read. The program's own loader reads whole records by count and
// never reaches it, so files with and without the block both serve.
//
// Layout (little-endian): magic "VCNOTES1", count int32 (= the file's
// record count), then per record in file order
//   MBInfo.dat: flags uint8 (bit 0: verified), source (uint16 length + text)
//   CGInfo.dat: source (uint16 length + text), read-back length uint8
//               (0..32), that many bytes, then as many mask bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/board/database.h"

namespace vc {

inline constexpr size_t kNoteTextMax = 1024;
inline constexpr size_t kReadBackMax = 32;

// Appends the block, unless every note is empty (then the file stays as the
// fixed layout alone).
void EncodeBoardNotes(const std::vector<BoardNotes>& notes, size_t records, std::vector<uint8_t>& out);
void EncodeClockGenNotes(const std::vector<ClockGenNotes>& notes, size_t records, std::vector<uint8_t>& out);

// Reads the block from `rest` (what follows the last record). An empty
// `rest` leaves `notes` as `records` empty notes. Anything else must be one
// whole block for exactly `records` records: the problem goes to `problem`
// (a sentence without the file name) and `notes` stays empty notes.
bool DecodeBoardNotes(std::span<const uint8_t> rest, size_t records, std::vector<BoardNotes>& notes,
                      std::string& problem);
bool DecodeClockGenNotes(std::span<const uint8_t> rest, size_t records, std::vector<ClockGenNotes>& notes,
                         std::string& problem);

}  // namespace vc
