#include "core/board/data_files.h"

#include <array>

#include "core/base/little_endian.h"
#include "core/base/text_field.h"

namespace vc {
namespace {

// Reads exactly buffer.size() bytes; false when the stream ends first.
bool ReadExactly(std::istream& in, std::span<uint8_t> buffer) {
    in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    return static_cast<size_t>(in.gcount()) == buffer.size();
}

bool SkipExactly(std::istream& in, uint64_t count) {
    constexpr uint64_t kChunk = 1u << 20;
    while (count > 0) {
        const uint64_t step = count < kChunk ? count : kChunk;
        in.ignore(static_cast<std::streamsize>(step));
        if (static_cast<uint64_t>(in.gcount()) != step) return false;
        count -= step;
    }
    return true;
}

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

std::string DecodeBoardRecord(std::span<const uint8_t> bytes, BoardRecord& board) {
    if (bytes.size() < kBoardRecordSize) return "is incomplete";
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
    if (!FieldTerminated(decoded.biosId)) return "biosId has no terminator";
    if (!FieldTerminated(decoded.clockGenName)) return "clockGenName has no terminator";
    board = decoded;
    return "";
}

std::string DecodeClockGenHeader(std::span<const uint8_t> bytes, ClockGenRecord& chip) {
    if (bytes.size() < kClockGenHeaderSize) return "is incomplete";
    ByteReader reader(bytes.first(kClockGenHeaderSize));
    ClockGenRecord decoded;
    reader.ReadBytes(decoded.name, kTextFieldSize);
    reader.ReadI32(decoded.entryCount);
    reader.ReadI32(decoded.firstByteMask);
    reader.ReadI32(decoded.reserved1);
    reader.ReadI32(decoded.reserved2);
    reader.ReadI32(decoded.fineTune);
    if (!FieldTerminated(decoded.name)) return "name has no terminator";
    if (decoded.entryCount < 0 || decoded.entryCount > kMaxClockEntries) {
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

BoardScan ScanBoardFile(std::istream& in, const std::function<bool(const BoardRecord&)>& matches) {
    BoardScan scan;
    std::array<uint8_t, kFileHeaderSize> headerBytes{};
    DataFileHeader header;
    if (!ReadExactly(in, headerBytes) || !DecodeFileHeader(headerBytes, header)) {
        scan.outcome = BoardScanOutcome::Damaged;
        scan.problem = "the header is incomplete";
        return scan;
    }
    if (header.version != kDataFileVersion) {
        scan.outcome = BoardScanOutcome::BadVersion;
        return scan;
    }
    std::array<uint8_t, kBoardRecordSize> recordBytes{};
    for (int32_t i = 0; i < header.count; ++i) {
        BoardRecord candidate;
        const std::string problem = ReadExactly(in, recordBytes)
                                        ? DecodeBoardRecord(recordBytes, candidate)
                                        : std::string("is incomplete");
        if (!problem.empty()) {
            scan.outcome = BoardScanOutcome::Damaged;
            scan.problem = RecordProblem("board record", i, problem);
            return scan;
        }
        if (matches(candidate)) {
            scan.outcome = BoardScanOutcome::Matched;
            scan.board = std::move(candidate);
            return scan;
        }
    }
    scan.outcome = BoardScanOutcome::NoMatch;
    return scan;
}

ClockGenLookup LookupClockGen(std::istream& in, const std::string& name) {
    ClockGenLookup lookup;
    auto damaged = [&lookup](std::string problem) {
        lookup.outcome = ClockGenLookupOutcome::Damaged;
        lookup.problem = std::move(problem);
        lookup.chip = ClockGenRecord{};
        return lookup;
    };

    std::array<uint8_t, kFileHeaderSize> headerBytes{};
    DataFileHeader header;
    if (!ReadExactly(in, headerBytes) || !DecodeFileHeader(headerBytes, header)) {
        return damaged("the header is incomplete");
    }
    if (header.version != kDataFileVersion) {
        lookup.outcome = ClockGenLookupOutcome::BadVersion;
        return lookup;
    }

    bool found = false;
    int64_t entriesBefore = 0;     // running sum over the headers passed
    int64_t entriesBeforeMatch = 0;
    std::array<uint8_t, kClockGenHeaderSize> chipBytes{};
    for (int32_t i = 0; i < header.count; ++i) {
        ClockGenRecord chip;
        const std::string problem = ReadExactly(in, chipBytes) ? DecodeClockGenHeader(chipBytes, chip)
                                                               : std::string("is incomplete");
        if (!problem.empty()) return damaged(RecordProblem("clock generator header", i, problem));
        const int32_t entryCount = chip.entryCount;
        if (FieldText(chip.name) == name) {
            lookup.chip = std::move(chip);
            entriesBeforeMatch = entriesBefore;
            found = true;
        }
        entriesBefore += entryCount;
    }
    if (!found) {
        lookup.outcome = ClockGenLookupOutcome::NotFound;
        return lookup;
    }

    const std::string table = "the table of " + name;
    if (!SkipExactly(in, static_cast<uint64_t>(entriesBeforeMatch) * kClockEntrySize)) {
        return damaged(table + " lies beyond the end of the file");
    }
    std::array<uint8_t, kClockEntrySize> entryBytes{};
    lookup.chip.entries.assign(static_cast<size_t>(lookup.chip.entryCount), ClockEntry{});
    for (auto& entry : lookup.chip.entries) {
        if (!ReadExactly(in, entryBytes) || !DecodeClockEntry(entryBytes, entry)) {
            return damaged(table + " is incomplete");
        }
    }
    lookup.outcome = ClockGenLookupOutcome::Loaded;
    return lookup;
}

}  // namespace vc
