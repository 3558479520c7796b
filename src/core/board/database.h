// The whole board database as the data tool sees it: every board and every
// clock generator with its table, encoded to and decoded from the two files,
// and checked record by record.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/board/records.h"

namespace vc {

// What the data files say of a record beyond its fixed layout: where its
// facts come from and, for a chip, how it answers a block read. Both files
// keep them in a notes block after the last record (data/README.md); the
// program's own loader never reads that far, and a file without the block
// simply has empty notes.
struct BoardNotes {
    bool verified = false;  // the record was checked against the board or its BIOS image
    std::string source;     // where the pairing of chip, controller and string comes from
};

struct ClockGenNotes {
    std::string source;                 // part number, datasheet table or public reference
    std::vector<uint8_t> readBack;      // the register bytes a block read returns at power-on
    std::vector<uint8_t> readBackMask;  // per byte, the bits that tell this chip (1 = compare)
};

struct Database {
    std::vector<BoardRecord> boards;
    std::vector<ClockGenRecord> clockGens;  // entries hold exactly entryCount items
    // One per record, in the same order, once compiled or decoded.
    std::vector<BoardNotes> boardNotes;
    std::vector<ClockGenNotes> clockGenNotes;
};

enum class RecordKind { Board, ClockGen };

// One thing wrong with a record: which record (0-based), which entry of a
// chip's table (-1 for the record itself), which field, and why.
struct DataProblem {
    RecordKind kind = RecordKind::Board;
    int32_t record = 0;
    int32_t entry = -1;
    std::string field;
    std::string message;
};

// Every rule a shipped database must meet (sizes, kinds, band codes, select
// bytes, limits, names that resolve and boards that can be recognised).
std::vector<DataProblem> CheckDatabase(const Database& db);

// "board 3 (6BXE-R1.2): smbusKind: 7 is not 1 or 2"
std::string DescribeProblem(const Database& db, const DataProblem& problem);

std::vector<uint8_t> EncodeBoardFile(const Database& db);
std::vector<uint8_t> EncodeClockGenFile(const Database& db);

// Decodes as much as the bytes hold; everything that keeps a record from
// being read (short file, bad version, text without terminator, entryCount
// out of range, trailing bytes) is added to `problems` as full sentences,
// except a damaged record that recognition steps over: that one is left out
// of `db` and named in `skipped` ("MBInfo.dat has a damaged record, skipped:
// board record 2 (6BX): clockGenName has no terminator").
void DecodeBoardFile(std::span<const uint8_t> bytes, Database& db, std::vector<std::string>& problems,
                     std::vector<std::string>& skipped);
void DecodeClockGenFile(std::span<const uint8_t> bytes, Database& db, std::vector<std::string>& problems,
                        std::vector<std::string>& skipped);

// Runs recognition's own lookup for the chip of every board on the
// clock-generator file's bytes and names each board it would refuse for a
// damaged header (one it may not step over for this chip), as full sentences.
std::vector<std::string> CheckChipLookups(const Database& db, std::span<const uint8_t> clockGenFile);

}  // namespace vc
