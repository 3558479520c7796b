#include "core/board/database.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "core/base/little_endian.h"
#include "core/board/board_messages.h"
#include "core/board/data_files.h"
#include "core/board/record_notes.h"
#include "core/base/text_field.h"

namespace vc {
namespace {

constexpr std::array<int32_t, 6> kBandCodes{10, 11, 20, 21, 30, 31};
constexpr double kLowestRatio = 1.0;
constexpr double kHighestRatio = 2.0;
constexpr int32_t kLowestSmbusBase = 0x0001;
constexpr int32_t kHighestSmbusBase = 0xFFF0;  // the controller's registers must fit below 0x10000

std::string Hex(int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return value < 0 ? std::to_string(value) : text;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

class Checker {
public:
    explicit Checker(const Database& db) : db_(db) {}

    std::vector<DataProblem> Run() {
        for (size_t i = 0; i < db_.clockGens.size(); ++i) {
            CheckClockGen(static_cast<int32_t>(i));
            if (i < db_.clockGenNotes.size()) CheckClockGenNotes(static_cast<int32_t>(i));
        }
        for (size_t i = 0; i < db_.boards.size(); ++i) {
            CheckBoard(static_cast<int32_t>(i));
            if (i < db_.boardNotes.size()) CheckBoardNotes(static_cast<int32_t>(i));
        }
        return std::move(problems_);
    }

private:
    void Add(RecordKind kind, int32_t record, int32_t entry, std::string field, std::string message) {
        problems_.push_back({kind, record, entry, std::move(field), std::move(message)});
    }

    void CheckText(RecordKind kind, int32_t record, const char* field, const TextField& text) {
        if (!FieldTerminated(text)) {
            Add(kind, record, -1, field, "longer than 15 characters");
        } else if (text[0] == '\0') {
            Add(kind, record, -1, field, "is empty");
        }
    }

    void CheckRatio(int32_t record, const char* field, double ratio, bool zeroAllowed) {
        if (zeroAllowed && ratio == 0.0) return;
        if (!(ratio >= kLowestRatio && ratio <= kHighestRatio)) {
            Add(RecordKind::Board, record, -1, field,
                Number(ratio) + " is outside " + Number(kLowestRatio) + ".." + Number(kHighestRatio) +
                    (zeroAllowed ? " (or 0 for no limit)" : ""));
        }
    }

    void CheckClockGen(int32_t index) {
        const ClockGenRecord& chip = db_.clockGens[static_cast<size_t>(index)];
        CheckText(RecordKind::ClockGen, index, "name", chip.name);
        for (int32_t earlier = 0; earlier < index; ++earlier) {
            if (FieldsEqual(db_.clockGens[static_cast<size_t>(earlier)].name, chip.name)) {
                Add(RecordKind::ClockGen, index, -1, "name",
                    "repeats clock generator " + std::to_string(earlier + 1) + ", which it hides");
                break;
            }
        }
        if (chip.entryCount < 0 || chip.entryCount > kMaxClockEntries) {
            Add(RecordKind::ClockGen, index, -1, "entryCount",
                std::to_string(chip.entryCount) + " is outside 0.." + std::to_string(kMaxClockEntries));
        }
        if (chip.firstByteMask < 0 || chip.firstByteMask > 0xFF) {
            Add(RecordKind::ClockGen, index, -1, "firstByteMask", Hex(chip.firstByteMask) + " is not a byte");
        }
        if (chip.fineTune != 0 && chip.fineTune != 1) {
            Add(RecordKind::ClockGen, index, -1, "fineTune", std::to_string(chip.fineTune) + " is not 0 or 1");
        }
        std::array<int32_t, 256> firstWithByte{};  // 1-based entry that put this byte on the wire
        for (size_t e = 0; e < chip.entries.size(); ++e) {
            const int32_t entry = static_cast<int32_t>(e);
            const ClockEntry& item = chip.entries[e];
            if (!(std::isfinite(item.busMHz) && item.busMHz > 0.0)) {
                Add(RecordKind::ClockGen, index, entry, "busMHz", Number(item.busMHz) + " is not a clock above 0");
            }
            if (!(std::isfinite(item.pciMHz) && item.pciMHz > 0.0)) {
                Add(RecordKind::ClockGen, index, entry, "pciMHz", Number(item.pciMHz) + " is not a clock above 0");
            }
            if (!(std::isfinite(item.memMHz) && item.memMHz >= 0.0)) {
                Add(RecordKind::ClockGen, index, entry, "memMHz", Number(item.memMHz) + " is not a clock or 0");
            }
            if (std::find(kBandCodes.begin(), kBandCodes.end(), item.bandCode) == kBandCodes.end()) {
                Add(RecordKind::ClockGen, index, entry, "bandCode",
                    std::to_string(item.bandCode) + " is not one of 10, 11, 20, 21, 30, 31");
            }
            if (item.chipValue < 0 || item.chipValue > 0xFF) {
                Add(RecordKind::ClockGen, index, entry, "chipValue", Hex(item.chipValue) + " is not a byte");
                continue;
            }
            const auto wire = static_cast<size_t>((item.chipValue | chip.firstByteMask) & 0xFF);
            if (firstWithByte[wire] != 0) {
                Add(RecordKind::ClockGen, index, entry, "chipValue",
                    "puts " + Hex(static_cast<int64_t>(wire)) + " on the wire like entry " +
                        std::to_string(firstWithByte[wire]));
            } else {
                firstWithByte[wire] = entry + 1;
            }
        }
    }

    void CheckClockGenNotes(int32_t index) {
        const ClockGenNotes& notes = db_.clockGenNotes[static_cast<size_t>(index)];
        if (notes.source.size() > kNoteTextMax) {
            Add(RecordKind::ClockGen, index, -1, "source",
                "is longer than " + std::to_string(kNoteTextMax) + " characters");
        }
        if (notes.readBack.size() > kReadBackMax) {
            Add(RecordKind::ClockGen, index, -1, "readBack",
                std::to_string(notes.readBack.size()) + " bytes are more than a block read returns (" +
                    std::to_string(kReadBackMax) + ")");
        } else if (notes.readBackMask.size() != notes.readBack.size()) {
            Add(RecordKind::ClockGen, index, -1, "readBack", "has a mask of another length");
        }
    }

    void CheckBoardNotes(int32_t index) {
        const BoardNotes& notes = db_.boardNotes[static_cast<size_t>(index)];
        if (notes.source.size() > kNoteTextMax) {
            Add(RecordKind::Board, index, -1, "source",
                "is longer than " + std::to_string(kNoteTextMax) + " characters");
        }
        if (notes.verified && notes.source.empty()) {
            Add(RecordKind::Board, index, -1, "source", "a verified record must cite its source");
        }
    }

    const ClockGenRecord* ChipNamed(const TextField& name) const {
        const ClockGenRecord* found = nullptr;  // the last header of a name wins
        for (const ClockGenRecord& chip : db_.clockGens) {
            if (FieldsEqual(chip.name, name)) found = &chip;
        }
        return found;
    }

    void CheckBoard(int32_t index) {
        const BoardRecord& board = db_.boards[static_cast<size_t>(index)];
        CheckText(RecordKind::Board, index, "biosId", board.biosId);
        CheckText(RecordKind::Board, index, "clockGenName", board.clockGenName);
        const std::string biosId = FieldText(board.biosId);
        for (int32_t earlier = 0; earlier < index && !biosId.empty(); ++earlier) {
            const std::string other = FieldText(db_.boards[static_cast<size_t>(earlier)].biosId);
            if (!other.empty() && biosId.find(other) != std::string::npos) {
                Add(RecordKind::Board, index, -1, "biosId",
                    (other == biosId ? "repeats board " : "contains the string of board ") +
                        std::to_string(earlier + 1) + " (" + other +
                        "), which is tried first, so this board is never recognised");
                break;
            }
        }
        if (board.clockGenName[0] != '\0' && FieldTerminated(board.clockGenName)) {
            const ClockGenRecord* chip = ChipNamed(board.clockGenName);
            if (chip == nullptr) {
                Add(RecordKind::Board, index, -1, "clockGenName",
                    FieldText(board.clockGenName) + " names no clock generator");
            } else if (chip->entryCount <= 0) {
                Add(RecordKind::Board, index, -1, "clockGenName",
                    FieldText(board.clockGenName) + " has no table entries");
            }
        }
        if (board.smbusKind != 1 && board.smbusKind != 2) {
            Add(RecordKind::Board, index, -1, "smbusKind", std::to_string(board.smbusKind) + " is not 1 or 2");
        }
        if (board.smbusBase != kSmbusBaseFromPci &&
            (board.smbusBase < kLowestSmbusBase || board.smbusBase > kHighestSmbusBase)) {
            Add(RecordKind::Board, index, -1, "smbusBase",
                Hex(board.smbusBase) + " is outside " + Hex(kLowestSmbusBase) + ".." + Hex(kHighestSmbusBase) +
                    " (or 0: from PCI)");
        }
        CheckRatio(index, "maxBusRatio", board.maxBusRatio, false);
        CheckRatio(index, "maxPciRatio", board.maxPciRatio, false);
        CheckRatio(index, "maxMemRatio", board.maxMemRatio, true);
    }

    const Database& db_;
    std::vector<DataProblem> problems_;
};

std::string Printable(const TextField& text) {
    std::string printable;
    for (size_t i = 0; i < FieldLength(text); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        printable += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    return printable;
}

std::string Sentence(const char* file, const std::string& what) { return std::string(file) + ": " + what; }

std::string Skipped(const char* file, const std::string& record, const std::string& problem) {
    return std::string(file) + kMsgSkippedSuffix + record + ": " + problem;
}

// The notes of the records kept, from the notes of every record in the file.
template <typename Notes>
std::vector<Notes> NotesOf(const std::vector<Notes>& all, const std::vector<size_t>& kept) {
    std::vector<Notes> notes;
    for (const size_t record : kept) notes.push_back(record < all.size() ? all[record] : Notes{});
    return notes;
}

bool ReadHeader(ByteReader& reader, const char* file, DataFileHeader& header,
                std::vector<std::string>& problems) {
    if (!reader.ReadI32(header.version) || !reader.ReadI32(header.count)) {
        problems.push_back(Sentence(file, "the 8-byte header is incomplete"));
        return false;
    }
    if (header.version != kDataFileVersion) {
        problems.push_back(Sentence(file, "version " + std::to_string(header.version) + " is not 1"));
        return false;
    }
    if (header.count < 0) {
        problems.push_back(Sentence(file, "count " + std::to_string(header.count) + " is negative"));
        return false;
    }
    return true;
}

}  // namespace

std::vector<DataProblem> CheckDatabase(const Database& db) { return Checker(db).Run(); }

std::string DescribeProblem(const Database& db, const DataProblem& problem) {
    std::string text;
    const auto record = static_cast<size_t>(problem.record);
    if (problem.kind == RecordKind::Board) {
        text = "board " + std::to_string(problem.record + 1);
        if (record < db.boards.size()) text += " (" + Printable(db.boards[record].biosId) + ")";
    } else {
        text = "clock generator " + std::to_string(problem.record + 1);
        if (record < db.clockGens.size()) text += " (" + Printable(db.clockGens[record].name) + ")";
    }
    if (problem.entry >= 0) text += ": entry " + std::to_string(problem.entry + 1);
    return text + ": " + problem.field + ": " + problem.message;
}

std::vector<uint8_t> EncodeBoardFile(const Database& db) {
    std::vector<uint8_t> bytes;
    EncodeFileHeader({kDataFileVersion, static_cast<int32_t>(db.boards.size())}, bytes);
    for (const BoardRecord& board : db.boards) EncodeBoardRecord(board, bytes);
    EncodeBoardNotes(db.boardNotes, db.boards.size(), bytes);
    return bytes;
}

std::vector<uint8_t> EncodeClockGenFile(const Database& db) {
    std::vector<uint8_t> bytes;
    EncodeFileHeader({kDataFileVersion, static_cast<int32_t>(db.clockGens.size())}, bytes);
    for (const ClockGenRecord& chip : db.clockGens) EncodeClockGenHeader(chip, bytes);
    for (const ClockGenRecord& chip : db.clockGens) {
        for (const ClockEntry& entry : chip.entries) EncodeClockEntry(entry, bytes);
    }
    EncodeClockGenNotes(db.clockGenNotes, db.clockGens.size(), bytes);
    return bytes;
}

void DecodeBoardFile(std::span<const uint8_t> bytes, Database& db, std::vector<std::string>& problems,
                     std::vector<std::string>& skipped) {
    ByteReader reader(bytes);
    DataFileHeader header;
    if (!ReadHeader(reader, kBoardFileName, header, problems)) return;
    std::vector<size_t> kept;  // file positions of the records in db.boards
    std::array<uint8_t, kBoardRecordSize> recordBytes{};
    for (int32_t i = 0; i < header.count; ++i) {
        const std::string record = "board record " + std::to_string(int64_t{i} + 1);
        if (!reader.ReadBytes(recordBytes.data(), recordBytes.size())) {
            problems.push_back(Sentence(kBoardFileName, record + " of " + std::to_string(header.count) +
                                                            " is incomplete"));
            return;
        }
        BoardRecord board;
        const std::string problem = DecodeBoardRecord(recordBytes, board);
        if (problem.empty()) {
            db.boards.push_back(board);
            kept.push_back(static_cast<size_t>(i));
            continue;
        }
        // Recognition steps over a record whose biosId still says which
        // board it is; one without stops it for every board after it.
        ReadBoardFields(recordBytes, board);
        if (!FieldTerminated(board.biosId)) {
            problems.push_back(Sentence(kBoardFileName, record + ": " + problem));
            return;
        }
        skipped.push_back(Skipped(kBoardFileName, record + " (" + Printable(board.biosId) + ")", problem));
    }
    std::vector<BoardNotes> notes;
    std::string problem;
    if (!DecodeBoardNotes(bytes.subspan(reader.Position()), static_cast<size_t>(header.count), notes, problem)) {
        problems.push_back(Sentence(kBoardFileName, problem));
    }
    db.boardNotes = NotesOf(notes, kept);
}

void DecodeClockGenFile(std::span<const uint8_t> bytes, Database& db, std::vector<std::string>& problems,
                        std::vector<std::string>& skipped) {
    ByteReader reader(bytes);
    DataFileHeader header;
    if (!ReadHeader(reader, kClockGenFileName, header, problems)) return;
    std::vector<ClockGenRecord> chips;  // fields as they stand
    std::vector<std::string> damage;    // "" for a sound header
    std::array<uint8_t, kClockGenHeaderSize> headerBytes{};
    for (int32_t i = 0; i < header.count; ++i) {
        const std::string record = "clock generator header " + std::to_string(int64_t{i} + 1);
        if (!reader.ReadBytes(headerBytes.data(), headerBytes.size())) {
            problems.push_back(Sentence(kClockGenFileName, record + " of " +
                                                               std::to_string(header.count) + " is incomplete"));
            return;
        }
        ClockGenRecord chip;
        ReadClockGenFields(headerBytes, chip);
        damage.push_back(DecodeClockGenHeader(headerBytes, chip));
        chips.push_back(std::move(chip));
    }
    std::vector<size_t> kept;  // file positions of the chips in db.clockGens
    std::array<uint8_t, kClockEntrySize> entryBytes{};
    for (size_t i = 0; i < chips.size(); ++i) {
        ClockGenRecord& chip = chips[i];
        const std::string record = "clock generator header " + std::to_string(i + 1);
        const bool extentKnown = EntryCountPlausible(chip.entryCount);
        if (!damage[i].empty()) {
            // Without its name and its table's length nothing can step over it.
            if (!FieldTerminated(chip.name) && !extentKnown) {
                problems.push_back(Sentence(kClockGenFileName, record + ": " + damage[i]));
                return;
            }
            skipped.push_back(Skipped(kClockGenFileName, record + " (" + Printable(chip.name) + ")", damage[i]));
            if (!extentKnown) {
                // Its table hides where every later table starts, and the notes.
                if (i + 1 < chips.size()) {
                    problems.push_back(Sentence(kClockGenFileName, "the tables after " + record +
                                                                       " cannot be located: " + damage[i]));
                }
                db.clockGenNotes.assign(kept.size(), ClockGenNotes{});
                return;
            }
        }
        chip.entries.resize(static_cast<size_t>(chip.entryCount));
        for (ClockEntry& entry : chip.entries) {
            if (!reader.ReadBytes(entryBytes.data(), entryBytes.size())) {
                problems.push_back(Sentence(kClockGenFileName, "the table of " + Printable(chip.name) +
                                                                   " is incomplete"));
                return;
            }
            DecodeClockEntry(entryBytes, entry);
        }
        if (damage[i].empty()) {
            db.clockGens.push_back(std::move(chip));
            kept.push_back(i);
        }
    }
    std::vector<ClockGenNotes> notes;
    std::string problem;
    if (!DecodeClockGenNotes(bytes.subspan(reader.Position()), chips.size(), notes, problem)) {
        problems.push_back(Sentence(kClockGenFileName, problem));
    }
    db.clockGenNotes = NotesOf(notes, kept);
}

std::vector<std::string> CheckChipLookups(const Database& db, std::span<const uint8_t> clockGenFile) {
    std::vector<std::string> problems;
    for (size_t i = 0; i < db.boards.size(); ++i) {
        const BoardRecord& board = db.boards[i];
        const ClockGenLookup lookup = LookupClockGen(clockGenFile, FieldText(board.clockGenName));
        if (lookup.outcome != ClockGenLookupOutcome::Damaged) continue;
        problems.push_back(std::string(kBoardFileName) + ": board " + std::to_string(i + 1) + " (" +
                           Printable(board.biosId) + "): clockGenName: " + Printable(board.clockGenName) +
                           " cannot be loaded: " + kClockGenFileName + kMsgDamagedSuffix + lookup.problem);
    }
    return problems;
}

}  // namespace vc
