// sysinfo.dat: the entry the user saved, tied to the board, the processor
// signature and the multiplier it was chosen with.
//
// Layout (32 bytes, little-endian): index int32, signature int32,
// multiplier double, biosId char[16].
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/board/system_info.h"
#include "core/board/records.h"

namespace vc {

inline constexpr const char* kSettingsFileName = "sysinfo.dat";
inline constexpr size_t kSettingsFileSize = 32;

struct SavedSetting {
    int32_t index = 0;
    int32_t signature = 0;
    double multiplier = 0.0;
    char biosId[kTextFieldSize] = {};
};

std::string SettingsPath(const std::string& programDir);

// The record of `info` as it would be saved.
SavedSetting SettingFrom(const SystemInfo& info);
std::vector<uint8_t> EncodeSetting(const SavedSetting& setting);
// None when fewer than 32 bytes are given.
std::optional<SavedSetting> DecodeSetting(std::span<const uint8_t> bytes);

// Whether the setting belongs to this board, processor and multiplier and
// names an entry of the loaded table.
bool SettingMatches(const SavedSetting& setting, const SystemInfo& info);

// Writes programDir + "/sysinfo.dat". Returns 1, or 0 when it cannot be
// written (the previous file then stays as it was).
int32_t SaveSettings(const SystemInfo& info, const std::string& programDir);

// Reads and checks it; on a match selects the stored entry (currentIndex and
// RefreshEntry) and returns 1. Missing, short or not matching: 0, nothing
// changed.
int32_t LoadSettings(SystemInfo& info, const std::string& programDir);

}  // namespace vc
