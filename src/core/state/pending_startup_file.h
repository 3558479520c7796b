// pending.dat: the entry an automatic start-up application is about to
// write. It is recorded before the write and removed once the program has
// run long enough (or ended cleanly) after it, so a start that finds it knows
// the previous automatic application hung or crashed the machine.
//
// Layout (32 bytes, little-endian): index int32 (1-based), source int32
// (1 saved entry, 2 optimal entry, as in save.dat), busMHz double,
// biosId char[16] (the board's BIOS string, zero-filled).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/base/text_field.h"
#include "core/board/system_info.h"

namespace vc {

inline constexpr const char* kPendingStartupFileName = "pending.dat";
inline constexpr size_t kPendingStartupFileSize = 32;

struct PendingStartup {
    int32_t index = 0;
    int32_t source = 0;
    double busMHz = 0.0;
    char biosId[kTextFieldSize] = {};
};

// What a start finds: no file, or a file whose record may be unreadable
// (it still means the last application did not settle).
struct PendingStartupFound {
    bool present = false;
    std::optional<PendingStartup> record;
};

std::string PendingStartupPath(const std::string& programDir);

std::vector<uint8_t> EncodePendingStartup(const PendingStartup& pending);
// None unless exactly 32 bytes with a known source and a positive index.
std::optional<PendingStartup> DecodePendingStartup(std::span<const uint8_t> bytes);

// The record for entry `index` of the loaded table; none without that entry.
std::optional<PendingStartup> PendingStartupFor(const SystemInfo& info, int32_t index, int32_t source);

bool WritePendingStartup(const std::string& programDir, const PendingStartup& pending);
PendingStartupFound ReadPendingStartup(const std::string& programDir);
// Removes the file; true when it is gone (also when it never was there).
bool ClearPendingStartup(const std::string& programDir);

}  // namespace vc
