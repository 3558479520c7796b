// The texts in the BIOS window that could identify a board: what a board
// record's BIOS string may be chosen from. Runs on the 64 KiB window at
// 0xF0000 (offset 0 = physical 0xF0000); only the search area 0xE000-0xFFFF
// counts, since recognition looks nowhere else.
//
// First comes the SMBIOS/DMI board name: from a "_SM_" or bare "_DMI_" entry
// point in the window whose structure table also lies inside the window,
// the baseboard (type 2) product name, else the system (type 1) product
// name, each only when the same text occurs in the search area. Then the
// words of the search area (runs of letters, digits and - . _ / + ( )) of 4
// to 15 characters, those mixing letters and digits before the rest, each in
// window order; a word of one repeated character is left out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vc {

enum class DmiSource { None, Board, Product };

struct FoundBiosString {
    size_t offset = 0;  // of its first occurrence in the search area
    std::string text;
    DmiSource dmi = DmiSource::None;
};

inline constexpr size_t kBiosStringMin = 4;
inline constexpr size_t kBiosStringMax = 15;  // what a record's 16-byte field holds
inline constexpr size_t kBiosStringsReported = 8;

// A candidate where it stands in the window: its text is the `length`
// bytes at `offset`.
struct BiosCandidate {
    size_t offset = 0;
    size_t length = 0;
    DmiSource dmi = DmiSource::None;
};

// The candidates, best first, each text once, as many as `out` holds: how
// many. Allocates nothing (the NT driver runs it).
size_t FindBiosCandidates(std::span<const uint8_t> window, std::span<BiosCandidate> out);

// The same as texts, at most `limit` of them.
std::vector<FoundBiosString> FindBiosStrings(std::span<const uint8_t> window, size_t limit = kBiosStringsReported);

// "board", "product" or "no", as the probe report and vcctl name them.
const char* DmiSourceName(DmiSource source);

}  // namespace vc
