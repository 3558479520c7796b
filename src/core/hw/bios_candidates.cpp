#include "core/hw/bios_strings.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <optional>
#include <string_view>

#include "core/base/little_endian.h"
#include "core/hw/bios_window.h"

namespace vc {

namespace {

constexpr uint32_t kWindowPhysical = 0xF0000;
constexpr size_t kEntryAlignment = 16;

// SMBIOS 2.x entry point: "_SM_", its checksum and length, then at 0x10 the
// DMI section that older BIOSes carry alone.
constexpr std::string_view kSmAnchor = "_SM_";
constexpr size_t kSmLengthOffset = 0x05;
constexpr size_t kSmShortestLength = 0x1E;
constexpr size_t kSmDmiSectionOffset = 0x10;
// The DMI section (15 bytes, its own checksum): "_DMI_", checksum, table
// length, table address, structure count, BCD revision.
constexpr std::string_view kDmiAnchor = "_DMI_";
constexpr size_t kDmiSectionLength = 15;
constexpr size_t kDmiTableLengthOffset = 0x06;
constexpr size_t kDmiTableAddressOffset = 0x08;
constexpr size_t kDmiStructureCountOffset = 0x0C;

// Structure header: type, formatted length, handle; then the formatted
// area, then the string set (each string NUL-terminated, one more NUL ends it).
constexpr size_t kStructureHeader = 4;
constexpr uint8_t kTypeSystem = 1;
constexpr uint8_t kTypeBaseboard = 2;
constexpr uint8_t kTypeEnd = 127;
constexpr size_t kProductNameField = 0x05;  // in both types

struct Table {
    size_t offset;  // in the window
    size_t length;
    size_t count;   // 0: as many as the length holds
};

bool Anchored(std::span<const uint8_t> bytes, size_t at, std::string_view anchor) {
    if (at + anchor.size() > bytes.size()) return false;
    return std::equal(anchor.begin(), anchor.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

bool SumsToZero(std::span<const uint8_t> bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), uint8_t{0},
                           [](uint8_t sum, uint8_t b) { return static_cast<uint8_t>(sum + b); }) == 0;
}

// The structure table a DMI section at `at` names, when that section is sound and
// the table lies wholly inside the window.
std::optional<Table> TableOfDmiSection(std::span<const uint8_t> window, size_t at) {
    if (at + kDmiSectionLength > window.size() || !Anchored(window, at, kDmiAnchor)) return std::nullopt;
    if (!SumsToZero(window.subspan(at, kDmiSectionLength))) return std::nullopt;
    const size_t length = GetLe<uint16_t>(window, at + kDmiTableLengthOffset);
    const uint32_t address = GetLe32(window, at + kDmiTableAddressOffset);
    const size_t count = GetLe<uint16_t>(window, at + kDmiStructureCountOffset);
    if (address < kWindowPhysical) return std::nullopt;
    const size_t offset = address - kWindowPhysical;
    if (offset >= window.size() || length > window.size() - offset) return std::nullopt;
    return Table{offset, length, count};
}

// The first sound entry point on a 16-byte boundary, or none.
std::optional<Table> FindTable(std::span<const uint8_t> window) {
    for (size_t at = 0; at + kEntryAlignment <= window.size(); at += kEntryAlignment) {
        if (Anchored(window, at, kSmAnchor)) {
            const size_t length = at + kSmLengthOffset < window.size() ? window[at + kSmLengthOffset] : 0;
            if (length < kSmShortestLength || at + length > window.size()) continue;
            if (!SumsToZero(window.subspan(at, length))) continue;
            if (auto table = TableOfDmiSection(window, at + kSmDmiSectionOffset)) return table;
        } else if (auto table = TableOfDmiSection(window, at)) {
            return table;
        }
    }
    return std::nullopt;
}

std::string_view TextAt(std::span<const uint8_t> bytes, size_t at, size_t length) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data() + at), length);
}

// String `number` (1-based) of the set starting at `at`, within `end`.
std::string_view StringOfSet(std::span<const uint8_t> bytes, size_t at, size_t end, uint8_t number) {
    for (uint8_t n = 1; at < end && bytes[at] != 0; ++n) {
        const auto terminator = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                          bytes.begin() + static_cast<std::ptrdiff_t>(end), uint8_t{0});
        const auto stop = static_cast<size_t>(terminator - bytes.begin());
        if (n == number) return TextAt(bytes, at, stop - at);
        at = stop + 1;
    }
    return {};
}

struct DmiNames {
    std::string_view board;
    std::string_view product;
};

DmiNames ReadDmiNames(std::span<const uint8_t> window, const Table& table) {
    DmiNames names;
    const size_t end = table.offset + table.length;
    size_t at = table.offset;
    for (size_t n = 0; (table.count == 0 || n < table.count) && at + kStructureHeader <= end; ++n) {
        const uint8_t type = window[at];
        const size_t formatted = window[at + 1];
        if (formatted < kStructureHeader || at + formatted > end) break;
        // The string set ends at the first pair of NUL bytes after the formatted area.
        size_t strings = at + formatted;
        size_t next = strings;
        while (next + 1 < end && !(window[next] == 0 && window[next + 1] == 0)) ++next;
        if (next + 1 >= end) break;
        if ((type == kTypeBaseboard || type == kTypeSystem) && formatted > kProductNameField) {
            const uint8_t number = window[at + kProductNameField];
            std::string_view& name = type == kTypeBaseboard ? names.board : names.product;
            if (number != 0 && name.empty()) name = StringOfSet(window, strings, next + 1, number);
        }
        if (type == kTypeEnd) break;
        at = next + 2;
    }
    return names;
}

bool Printable(uint8_t c) { return c >= 0x20 && c < 0x7F; }

// ASCII only, whatever the locale (and no C library in the NT driver).
bool Letter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool Digit(uint8_t c) { return c >= '0' && c <= '9'; }

// What a word of the search area is made of: letters, digits and the marks
// board names use. Code bytes seldom form four of these in a row, and a long
// banner ("P3B-F ACPI BIOS Revision 1006") falls apart into its words.
bool WordChar(uint8_t c) {
    return Letter(c) || Digit(c) || c == '-' || c == '.' || c == '_' || c == '/' || c == '+' || c == '(' ||
           c == ')';
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Whether a text can be a record's BIOS string at all.
bool Usable(std::string_view text) {
    return !text.empty() && text.size() <= kBiosStringMax &&
           std::all_of(text.begin(), text.end(), [](char c) { return Printable(static_cast<uint8_t>(c)); }) &&
           text.find('"') == std::string_view::npos;
}

// Where `text` first starts in the search area, or none.
std::optional<size_t> InSearchArea(std::span<const uint8_t> window, std::string_view text) {
    const size_t end = std::min(window.size(), kBiosWindowEnd);
    if (end <= kBiosSearchFirst) return std::nullopt;
    const auto area = window.subspan(kBiosSearchFirst, end - kBiosSearchFirst);
    const auto hit = std::search(area.begin(), area.end(), text.begin(), text.end(),
                                 [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); });
    if (hit == area.end()) return std::nullopt;
    const size_t offset = kBiosSearchFirst + static_cast<size_t>(hit - area.begin());
    if (offset > kBiosSearchLast) return std::nullopt;
    return offset;
}

std::optional<BiosCandidate> DmiName(std::span<const uint8_t> window) {
    const auto table = FindTable(window);
    if (!table) return std::nullopt;
    const DmiNames names = ReadDmiNames(window, *table);
    const std::pair<std::string_view, DmiSource> choices[] = {{Trimmed(names.board), DmiSource::Board},
                                                              {Trimmed(names.product), DmiSource::Product}};
    for (const auto& [text, source] : choices) {
        if (!Usable(text)) continue;
        if (const auto offset = InSearchArea(window, text)) return BiosCandidate{*offset, text.size(), source};
    }
    return std::nullopt;
}

// 0 for a run that mixes letters and digits, 1 for any other worth offering,
// none for a run that is no candidate.
std::optional<int> RankOf(std::string_view text) {
    if (text.size() < kBiosStringMin || !Usable(text)) return std::nullopt;
    if (text.find_first_not_of(text.front()) == std::string_view::npos) return std::nullopt;
    const auto any = [&](bool (*test)(uint8_t)) {
        return std::any_of(text.begin(), text.end(), [&](char c) { return test(static_cast<uint8_t>(c)); });
    };
    const bool letters = any(Letter);
    const bool digits = any(Digit);
    if (!letters && !digits) return std::nullopt;
    return letters && digits ? 0 : 1;
}

}  // namespace

size_t FindBiosCandidates(std::span<const uint8_t> window, std::span<BiosCandidate> out) {
    size_t found = 0;
    const auto text = [&](const BiosCandidate& c) { return TextAt(window, c.offset, c.length); };
    if (const auto dmi = DmiName(window); dmi && found < out.size()) out[found++] = *dmi;
    // Letters mixed with digits first, then the rest; each text once.
    const size_t end = std::min(window.size(), kBiosWindowEnd);
    for (int tier = 0; tier < 2; ++tier) {
        for (size_t at = kBiosSearchFirst; at < end && found < out.size();) {
            if (!WordChar(window[at])) {
                ++at;
                continue;
            }
            size_t stop = at;
            while (stop < end && WordChar(window[stop])) ++stop;
            const BiosCandidate candidate{at, stop - at, DmiSource::None};
            const auto rank = RankOf(text(candidate));
            const bool seen = std::any_of(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(found),
                                          [&](const BiosCandidate& c) { return text(c) == text(candidate); });
            if (rank == tier && !seen) out[found++] = candidate;
            at = stop;
        }
    }
    return found;
}

const char* DmiSourceName(DmiSource source) {
    switch (source) {
        case DmiSource::Board: return "board";
        case DmiSource::Product: return "product";
        case DmiSource::None: break;
    }
    return "no";
}

}  // namespace vc
