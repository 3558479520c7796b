#include "core/board/record_notes.h"

#include <algorithm>
#include <array>

#include "core/base/little_endian.h"

namespace vc {
namespace {

constexpr std::array<uint8_t, 8> kMagic{'V', 'C', 'N', 'O', 'T', 'E', 'S', '1'};
constexpr uint8_t kVerifiedFlag = 0x01;

void PutText(ByteWriter& writer, const std::string& text) {
    const size_t length = std::min(text.size(), kNoteTextMax);
    writer.PutU16(static_cast<uint16_t>(length));
    writer.PutBytes(text.data(), length);
}

bool ReadText(ByteReader& reader, std::string& text, std::string& problem, const std::string& record) {
    uint16_t length = 0;
    if (!reader.ReadU16(length)) {
        problem = "the notes of " + record + " are incomplete";
        return false;
    }
    if (length > kNoteTextMax) {
        problem = "the source text of " + record + " is " + std::to_string(length) + " bytes, more than " +
                  std::to_string(kNoteTextMax);
        return false;
    }
    text.assign(length, '\0');
    if (!reader.ReadBytes(text.data(), length)) {
        problem = "the notes of " + record + " are incomplete";
        return false;
    }
    return true;
}

void PutHeader(ByteWriter& writer, size_t records) {
    writer.PutBytes(kMagic.data(), kMagic.size());
    writer.PutI32(static_cast<int32_t>(records));
}

bool ReadHeader(ByteReader& reader, size_t records, std::string& problem) {
    std::array<uint8_t, kMagic.size()> magic{};
    int32_t count = 0;
    if (!reader.ReadBytes(magic.data(), magic.size()) || magic != kMagic) {
        problem = std::to_string(reader.Remaining() + reader.Position()) +
                  " bytes follow the last record and are no notes block";
        return false;
    }
    if (!reader.ReadI32(count)) {
        problem = "the notes block is incomplete";
        return false;
    }
    if (count < 0 || static_cast<size_t>(count) != records) {
        problem = "the notes block is for " + std::to_string(count) + " records, the file holds " +
                  std::to_string(records);
        return false;
    }
    return true;
}

bool Finish(const ByteReader& reader, std::string& problem) {
    if (reader.Remaining() == 0) return true;
    problem = std::to_string(reader.Remaining()) + " bytes follow the notes block";
    return false;
}

std::string Record(const char* what, size_t index) { return std::string(what) + " " + std::to_string(index + 1); }

}  // namespace

void EncodeBoardNotes(const std::vector<BoardNotes>& notes, size_t records, std::vector<uint8_t>& out) {
    const bool any = std::any_of(notes.begin(), notes.end(),
                                 [](const BoardNotes& n) { return n.verified || !n.source.empty(); });
    if (!any) return;
    ByteWriter writer(out);
    PutHeader(writer, records);
    for (size_t i = 0; i < records; ++i) {
        const BoardNotes note = i < notes.size() ? notes[i] : BoardNotes{};
        const uint8_t flags = note.verified ? kVerifiedFlag : 0;
        writer.PutBytes(&flags, 1);
        PutText(writer, note.source);
    }
}

void EncodeClockGenNotes(const std::vector<ClockGenNotes>& notes, size_t records, std::vector<uint8_t>& out) {
    const bool any = std::any_of(notes.begin(), notes.end(), [](const ClockGenNotes& n) {
        return !n.source.empty() || !n.readBack.empty();
    });
    if (!any) return;
    ByteWriter writer(out);
    PutHeader(writer, records);
    for (size_t i = 0; i < records; ++i) {
        const ClockGenNotes note = i < notes.size() ? notes[i] : ClockGenNotes{};
        PutText(writer, note.source);
        const size_t length = std::min({note.readBack.size(), note.readBackMask.size(), kReadBackMax});
        const auto count = static_cast<uint8_t>(length);
        writer.PutBytes(&count, 1);
        writer.PutBytes(note.readBack.data(), length);
        writer.PutBytes(note.readBackMask.data(), length);
    }
}

bool DecodeBoardNotes(std::span<const uint8_t> rest, size_t records, std::vector<BoardNotes>& notes,
                      std::string& problem) {
    notes.assign(records, BoardNotes{});
    if (rest.empty()) return true;
    ByteReader reader(rest);
    if (!ReadHeader(reader, records, problem)) return false;
    std::vector<BoardNotes> decoded(records);
    for (size_t i = 0; i < records; ++i) {
        uint8_t flags = 0;
        if (!reader.ReadBytes(&flags, 1)) {
            problem = "the notes of " + Record("board", i) + " are incomplete";
            return false;
        }
        if ((flags & ~kVerifiedFlag) != 0) {
            problem = "the notes of " + Record("board", i) + " carry unknown flags";
            return false;
        }
        decoded[i].verified = (flags & kVerifiedFlag) != 0;
        if (!ReadText(reader, decoded[i].source, problem, Record("board", i))) return false;
    }
    if (!Finish(reader, problem)) return false;
    notes = std::move(decoded);
    return true;
}

bool DecodeClockGenNotes(std::span<const uint8_t> rest, size_t records, std::vector<ClockGenNotes>& notes,
                         std::string& problem) {
    notes.assign(records, ClockGenNotes{});
    if (rest.empty()) return true;
    ByteReader reader(rest);
    if (!ReadHeader(reader, records, problem)) return false;
    std::vector<ClockGenNotes> decoded(records);
    for (size_t i = 0; i < records; ++i) {
        const std::string record = Record("clock generator", i);
        if (!ReadText(reader, decoded[i].source, problem, record)) return false;
        uint8_t length = 0;
        if (!reader.ReadBytes(&length, 1)) {
            problem = "the notes of " + record + " are incomplete";
            return false;
        }
        if (length > kReadBackMax) {
            problem = "the read-back of " + record + " is " + std::to_string(length) + " bytes, more than " +
                      std::to_string(kReadBackMax);
            return false;
        }
        decoded[i].readBack.resize(length);
        decoded[i].readBackMask.resize(length);
        if (!reader.ReadBytes(decoded[i].readBack.data(), length) ||
            !reader.ReadBytes(decoded[i].readBackMask.data(), length)) {
            problem = "the notes of " + record + " are incomplete";
            return false;
        }
    }
    if (!Finish(reader, problem)) return false;
    notes = std::move(decoded);
    return true;
}

}  // namespace vc
