// The binary layouts of the board file (MBInfo.dat) and the clock-generator
// file (CGInfo.dat): record codecs and the two streaming readers the
// recognition runs. The readers take a stream and never open files, so tests
// and fuzzers feed them bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
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
};

// Reads the header and then one record at a time until `matches` answers
// yes; the rest of the stream is not read. A record that is cut short or
// holds a text without terminator ends the scan as Damaged.
BoardScan ScanBoardFile(std::istream& in, const std::function<bool(const BoardRecord&)>& matches);

// --- the clock-generator file -------------------------------------------------
enum class ClockGenLookupOutcome { Loaded, BadVersion, NotFound, Damaged };

struct ClockGenLookup {
    ClockGenLookupOutcome outcome = ClockGenLookupOutcome::NotFound;
    ClockGenRecord chip;        // for Loaded: header fields and exactly entryCount entries
    std::string problem;        // for Damaged
};

// Walks every header (the last one named `name` wins), then skips the
// tables of the chips before it and reads its own table.
ClockGenLookup LookupClockGen(std::istream& in, const std::string& name);

}  // namespace vc
