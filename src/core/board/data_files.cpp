#include "core/board/data_files.h"

#include <algorithm>

#include "core/base/little_endian.h"
#include "core/base/text_field.h"

namespace vc {
namespace {

// "board record 3 is incomplete", "board record 3: biosId has no terminator".
std::string RecordProblem(const char* what, int32_t zeroBasedIndex, const std::string& problem) {
    const std::string record = std::string(what) + " " + std::to_string(int64_t{zeroBasedIndex} + 1);
    return problem == "is incomplete" ? record + " " + problem : record + ": " + problem;
}

}  // namespace

bool DecodeFileHeader(std::span<const uint8_t> bytes, DataFileHeader& header) {
    ByteReader reader(bytes);
    return reader.ReadI32(header.version) && reader.ReadI32(header.count);
}

bool ReadBoardFields(std::span<const uint8_t> bytes, BoardRecord& board) {
    if (bytes.size() < kBoardRecordSize) return false;
    ByteReader reader(bytes.first(kBoardRecordSize));
    BoardRecord decoded;
    reader.ReadBytes(decoded.biosId, kTextFieldSize);
    reader.ReadBytes(decoded.clockGenName, kTextFieldSize);
    reader.ReadI32(decoded.reserved1);
    reader.ReadI32(decoded.chipsetCode);
    reader.ReadI32(decoded.smbusBase);
    reader.ReadI32(decoded.smbusKind);
    reader.ReadF64(decoded.maxBusRatio);
    reader.ReadF64(decoded.maxPciRatio);
    reader.ReadF64(decoded.maxMemRatio);
    reader.Skip(4);  // the file's clockGen slot carries nothing
    reader.ReadI32(decoded.reserved2);
    board = decoded;
    return true;
}

std::string DecodeBoardRecord(std::span<const uint8_t> bytes, BoardRecord& board) {
    BoardRecord decoded;
    if (!ReadBoardFields(bytes, decoded)) return "is incomplete";
    if (!FieldTerminated(decoded.biosId)) return "biosId has no terminator";
    if (!FieldTerminated(decoded.clockGenName)) return "clockGenName has no terminator";
    board = decoded;
    return "";
}

bool ReadClockGenFields(std::span<const uint8_t> bytes, ClockGenRecord& chip) {
    if (bytes.size() < kClockGenHeaderSize) return false;
    ByteReader reader(bytes.first(kClockGenHeaderSize));
    ClockGenRecord decoded;
    reader.ReadBytes(decoded.name, kTextFieldSize);
    reader.ReadI32(decoded.entryCount);
    reader.ReadI32(decoded.firstByteMask);
    reader.ReadI32(decoded.reserved1);
    reader.ReadI32(decoded.reserved2);
    reader.ReadI32(decoded.fineTune);
    chip = std::move(decoded);
    return true;
}

bool EntryCountPlausible(int32_t entryCount) { return entryCount >= 0 && entryCount <= kMaxClockEntries; }

std::string DecodeClockGenHeader(std::span<const uint8_t> bytes, ClockGenRecord& chip) {
    ClockGenRecord decoded;
    if (!ReadClockGenFields(bytes, decoded)) return "is incomplete";
    if (!FieldTerminated(decoded.name)) return "name has no terminator";
    if (!EntryCountPlausible(decoded.entryCount)) {
        return "entryCount " + std::to_string(decoded.entryCount) + " is outside 0.." +
               std::to_string(kMaxClockEntries);
    }
    chip = std::move(decoded);
    return "";
}

bool DecodeClockEntry(std::span<const uint8_t> bytes, ClockEntry& entry) {
    ByteReader reader(bytes);
    ClockEntry decoded;
    if (!(reader.ReadF64(decoded.busMHz) && reader.ReadF64(decoded.pciMHz) &&
          reader.ReadF64(decoded.memMHz) && reader.ReadI32(decoded.bandCode) &&
          reader.ReadI32(decoded.chipValue))) {
        return false;
    }
    entry = decoded;
    return true;
}

// The records' sizes are the sums of the fields the codecs below walk.
static_assert(kFileHeaderSize == 2 * kI32Bytes);
static_assert(kBoardRecordSize == 2 * kTextFieldSize + 4 * kI32Bytes + 3 * kF64Bytes + 4 + kI32Bytes);
static_assert(kClockGenHeaderSize == kTextFieldSize + 5 * kI32Bytes + 4);
static_assert(kClockEntrySize == 3 * kF64Bytes + 2 * kI32Bytes);

void EncodeFileHeader(const DataFileHeader& header, std::vector<uint8_t>& out) {
    ByteWriter writer(out);
    writer.PutI32(header.version);
    writer.PutI32(header.count);
}

void EncodeBoardRecord(const BoardRecord& board, std::vector<uint8_t>& out) {
    ByteWriter writer(out);
    writer.PutBytes(board.biosId, kTextFieldSize);
    writer.PutBytes(board.clockGenName, kTextFieldSize);
    writer.PutI32(board.reserved1);
    writer.PutI32(board.chipsetCode);
    writer.PutI32(board.smbusBase);
    writer.PutI32(board.smbusKind);
    writer.PutF64(board.maxBusRatio);
    writer.PutF64(board.maxPciRatio);
    writer.PutF64(board.maxMemRatio);
    writer.PutZeros(4);
    writer.PutI32(board.reserved2);
}

void EncodeClockGenHeader(const ClockGenRecord& chip, std::vector<uint8_t>& out) {
    ByteWriter writer(out);
    writer.PutBytes(chip.name, kTextFieldSize);
    writer.PutI32(chip.entryCount);
    writer.PutI32(chip.firstByteMask);
    writer.PutI32(chip.reserved1);
    writer.PutI32(chip.reserved2);
    writer.PutI32(chip.fineTune);
    writer.PutZeros(4);
}

void EncodeClockEntry(const ClockEntry& entry, std::vector<uint8_t>& out) {
    ByteWriter writer(out);
    writer.PutF64(entry.busMHz);
    writer.PutF64(entry.pciMHz);
    writer.PutF64(entry.memMHz);
    writer.PutI32(entry.bandCode);
    writer.PutI32(entry.chipValue);
}

BoardScan ScanBoardFile(std::span<const uint8_t> file, const std::function<bool(const BoardRecord&)>& matches) {
    BoardScan scan;
    ByteReader reader(file);
    DataFileHeader header;
    if (!reader.ReadI32(header.version) || !reader.ReadI32(header.count)) {
        scan.outcome = BoardScanOutcome::Damaged;
        scan.problem = "the header is incomplete";
        return scan;
    }
    if (header.version != kDataFileVersion) {
        scan.outcome = BoardScanOutcome::BadVersion;
        return scan;
    }
    for (int32_t i = 0; i < header.count; ++i) {
        const auto recordBytes = file.subspan(reader.Position(), std::min(reader.Remaining(), kBoardRecordSize));
        BoardRecord candidate;
        const std::string problem = DecodeBoardRecord(recordBytes, candidate);
        if (problem.empty()) {
            if (matches(candidate)) {
                scan.outcome = BoardScanOutcome::Matched;
                scan.board = std::move(candidate);
                return scan;
            }
        } else {
            // A cut record hides everything after it; an unterminated biosId
            // may be this machine's; an intact one can be asked about.
            BoardRecord damaged;
            const bool identityKnown = ReadBoardFields(recordBytes, damaged) && FieldTerminated(damaged.biosId);
            if (!identityKnown || matches(damaged)) {
                scan.outcome = BoardScanOutcome::Damaged;
                scan.problem = RecordProblem("board record", i, problem);
                return scan;
            }
            scan.skipped.push_back(RecordProblem("board record", i, problem));
        }
        reader.Skip(kBoardRecordSize);
    }
    scan.outcome = BoardScanOutcome::NoMatch;
    return scan;
}

namespace {

struct HeaderSeen {
    ClockGenRecord chip;  // the fields as they stand
    std::string problem;  // "" for a sound header
};

// Which damaged header, if any, keeps the lookup of the chip whose last
// header is `wanted` (-1: none carries the name) from a provable answer.
// Every other damaged header goes to `skipped`.
const HeaderSeen* BlockingHeader(const std::vector<HeaderSeen>& headers, int64_t wanted,
                                 std::vector<std::string>& skipped) {
    for (size_t i = 0; i < headers.size(); ++i) {
        const HeaderSeen& seen = headers[i];
        if (seen.problem.empty()) continue;
        const auto index = static_cast<int64_t>(i);
        const bool nameIntact = FieldTerminated(seen.chip.name);
        const bool extentKnown = EntryCountPlausible(seen.chip.entryCount);
        // Before the wanted header only its table's extent matters; after it
        // (or with no wanted header) only that it cannot carry the name.
        const bool stepOver = index < wanted ? extentKnown : index > wanted && nameIntact;
        if (!stepOver) return &seen;
        skipped.push_back(RecordProblem("clock generator header", static_cast<int32_t>(i), seen.problem));
    }
    return nullptr;
}

}  // namespace

ClockGenLookup LookupClockGen(std::span<const uint8_t> file, const std::string& name) {
    ClockGenLookup lookup;
    auto damaged = [&lookup](std::string problem) {
        lookup.outcome = ClockGenLookupOutcome::Damaged;
        lookup.problem = std::move(problem);
        lookup.chip = ClockGenRecord{};
        return lookup;
    };

    ByteReader reader(file);
    DataFileHeader header;
    if (!reader.ReadI32(header.version) || !reader.ReadI32(header.count)) {
        return damaged("the header is incomplete");
    }
    if (header.version != kDataFileVersion) {
        lookup.outcome = ClockGenLookupOutcome::BadVersion;
        return lookup;
    }

    std::vector<HeaderSeen> headers;
    int64_t wanted = -1;  // the last sound-named header carrying `name`
    for (int32_t i = 0; i < header.count; ++i) {
        HeaderSeen seen;
        const auto chipBytes = file.subspan(reader.Position(), std::min(reader.Remaining(), kClockGenHeaderSize));
        if (!ReadClockGenFields(chipBytes, seen.chip)) {
            return damaged(RecordProblem("clock generator header", i, "is incomplete"));
        }
        ClockGenRecord checked;
        seen.problem = DecodeClockGenHeader(chipBytes, checked);
        if (FieldTerminated(seen.chip.name) && FieldText(seen.chip.name) == name) wanted = i;
        headers.push_back(std::move(seen));
        reader.Skip(kClockGenHeaderSize);
    }
    if (const HeaderSeen* blocking = BlockingHeader(headers, wanted, lookup.skipped)) {
        const auto index = static_cast<int32_t>(blocking - headers.data());
        return damaged(RecordProblem("clock generator header", index, blocking->problem));
    }
    if (wanted < 0) {
        lookup.outcome = ClockGenLookupOutcome::NotFound;
        return lookup;
    }

    int64_t entriesBefore = 0;  // every count before the wanted header is plausible here
    for (int64_t i = 0; i < wanted; ++i) entriesBefore += headers[static_cast<size_t>(i)].chip.entryCount;
    lookup.chip = std::move(headers[static_cast<size_t>(wanted)].chip);

    const std::string table = "the table of " + name;
    const uint64_t tableStart = reader.Position() + static_cast<uint64_t>(entriesBefore) * kClockEntrySize;
    if (tableStart > file.size()) return damaged(table + " lies beyond the end of the file");
    const auto count = static_cast<size_t>(lookup.chip.entryCount);
    if (file.size() - tableStart < count * kClockEntrySize) return damaged(table + " is incomplete");
    lookup.chip.entries.assign(count, ClockEntry{});
    for (size_t e = 0; e < count; ++e) {
        DecodeClockEntry(file.subspan(static_cast<size_t>(tableStart) + e * kClockEntrySize, kClockEntrySize),
                         lookup.chip.entries[e]);
    }
    lookup.outcome = ClockGenLookupOutcome::Loaded;
    return lookup;
}

}  // namespace vc
