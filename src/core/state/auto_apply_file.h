// save.dat: what to do at start-up (AutoApplySettings).
//
// Layout (8 bytes, little-endian): autoApply int32 (1 yes, 2 no),
// autoApplySource int32 (1 saved entry, 2 optimal entry). 0 means not set.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vc {

inline constexpr const char* kAutoApplyFileName = "save.dat";
inline constexpr size_t kAutoApplyFileSize = 8;

inline constexpr int32_t kAutoApplyYes = 1;
inline constexpr int32_t kAutoApplyNo = 2;
inline constexpr int32_t kAutoApplySourceSaved = 1;
inline constexpr int32_t kAutoApplySourceOptimal = 2;

struct AutoApplySettings {
    int32_t autoApply = 0;
    int32_t autoApplySource = 0;
    bool operator==(const AutoApplySettings&) const = default;
};

std::string AutoApplyPath(const std::string& programDir);

std::vector<uint8_t> EncodeAutoApply(const AutoApplySettings& settings);
// Field by field: a field whose 4 bytes are not all there stays 0, which
// never triggers anything at start-up.
AutoApplySettings DecodeAutoApply(std::span<const uint8_t> bytes);

// Reads programDir + "/save.dat" into `settings`. Returns 1, or 0 when the
// file cannot be opened (both values then 0).
int32_t ReadAutoApplySettings(const std::string& programDir, AutoApplySettings& settings);

// Replaces programDir + "/save.dat" with the 8 bytes. Returns 1 or 0.
int32_t WriteAutoApplySettings(const std::string& programDir, const AutoApplySettings& settings);

}  // namespace vc
