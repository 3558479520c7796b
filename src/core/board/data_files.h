// The binary layouts of the board file (MBInfo.dat) and the clock-generator
// file (CGInfo.dat): record codecs and the two readers the recognition runs.
// The readers take the whole file as bytes and never open files, so tests and
// fuzzers feed them bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/board/records.h"

namespace vc {

inline constexpr const char* kBoardFileName = "MBInfo.dat";
inline constexpr const char* kClockGenFileName = "CGInfo.dat";
inline constexpr int32_t kDataFileVersion = 1;
inline constexpr size_t kFileHeaderSize = 8;
inline constexpr size_t kBoardRecordSize = 80;
inline constexpr size_t kClockGenHeaderSize = 40;
inline constexpr size_t kClockEntrySize = 32;
// Files are read whole; what lies beyond this many bytes counts as missing.
inline constexpr size_t kLargestDataFile = 64u << 20;  // far beyond any real database

struct DataFileHeader {
    int32_t version = 0;
    int32_t count = 0;
};

// --- record codecs ----------------------------------------------------------
// Each decoder takes exactly its record's bytes and answers "" or what is
// wrong with them ("biosId has no terminator"). clockGen / entries stay empty.
bool DecodeFileHeader(std::span<const uint8_t> bytes, DataFileHeader& header);
std::string DecodeBoardRecord(std::span<const uint8_t> bytes, BoardRecord& board);
std::string DecodeClockGenHeader(std::span<const uint8_t> bytes, ClockGenRecord& chip);
bool DecodeClockEntry(std::span<const uint8_t> bytes, ClockEntry& entry);

// The fields as they stand, unjudged, for deciding whether a damaged record
// can be stepped over; false only when `bytes` is shorter than the record.
bool ReadBoardFields(std::span<const uint8_t> bytes, BoardRecord& board);
bool ReadClockGenFields(std::span<const uint8_t> bytes, ClockGenRecord& chip);
// An entryCount that keeps the table's extent known (0..kMaxClockEntries).
bool EntryCountPlausible(int32_t entryCount);

void EncodeFileHeader(const DataFileHeader& header, std::vector<uint8_t>& out);
void EncodeBoardRecord(const BoardRecord& board, std::vector<uint8_t>& out);
void EncodeClockGenHeader(const ClockGenRecord& chip, std::vector<uint8_t>& out);
void EncodeClockEntry(const ClockEntry& entry, std::vector<uint8_t>& out);

// --- the board file, read record by record -----------------------------------
enum class BoardScanOutcome { Matched, NoMatch, BadVersion, Damaged };

struct BoardScan {
    BoardScanOutcome outcome = BoardScanOutcome::NoMatch;
    BoardRecord board;          // the matched record (clockGen empty)
    std::string problem;        // for Damaged: what is wrong, without the file name
    // Damaged records stepped over because they cannot be this machine's
    // ("board record 2: clockGenName has no terminator").
    std::vector<std::string> skipped;
};

// Reads the header and then one record at a time until `matches` answers
// yes; the rest is not read. Records have a fixed size, so a damaged one whose
// biosId is intact is asked about like any other: a no skips it, a yes ends
// the scan as Damaged (this machine's own record is unreadable). A record cut
// short, or one whose biosId has no terminator (it may be this machine's),
// ends the scan as Damaged.
BoardScan ScanBoardFile(std::span<const uint8_t> file, const std::function<bool(const BoardRecord&)>& matches);

// --- the clock-generator file -------------------------------------------------
enum class ClockGenLookupOutcome { Loaded, BadVersion, NotFound, Damaged };

struct ClockGenLookup {
    ClockGenLookupOutcome outcome = ClockGenLookupOutcome::NotFound;
    ClockGenRecord chip;        // for Loaded: header fields and exactly entryCount entries
    std::string problem;        // for Damaged
    std::vector<std::string> skipped;  // damaged headers stepped over, as in BoardScan
};

// Walks every header (the last one named `name` wins), then skips the
// tables of the chips before it and reads its own table.
//
// A damaged header is stepped over only when it provably is not the chip and
// does not hide where the chip's table lies: before the last header named
// `name` it needs a plausible entryCount (its name no longer matters, the later
// header wins anyway); after it, an intact name (its count no longer matters).
// Any other damaged header ends the lookup as Damaged.
ClockGenLookup LookupClockGen(std::span<const uint8_t> file, const std::string& name);

}  // namespace vc
