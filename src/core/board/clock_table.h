// Bounds-checked access to the loaded clock-generator table by the 1-based
// indexes SystemInfo keeps.
#pragma once

#include <cstdint>
#include <span>

#include "core/board/system_info.h"
#include "core/board/records.h"

namespace vc {

// Number of entries that can be addressed: entryCount, but never more than
// the entries actually loaded.
inline int32_t UsableEntryCount(const ClockGenRecord* chip) {
    if (chip == nullptr || chip->entryCount <= 0) return 0;
    const auto loaded = static_cast<int64_t>(chip->entries.size());
    return static_cast<int32_t>(chip->entryCount < loaded ? chip->entryCount : loaded);
}

// The addressable entries, in table order (empty when nothing is loaded).
inline std::span<const ClockEntry> TableOf(const SystemInfo& info) {
    const ClockGenRecord* chip = info.clockGen();
    if (chip == nullptr || chip->entryCount <= 0) return {};
    const std::span<const ClockEntry> loaded(chip->entries);
    const auto count = static_cast<size_t>(chip->entryCount);
    return count < loaded.size() ? loaded.first(count) : loaded;
}

// The entry at 1-based `index`, or nullptr when the index lies outside
// 1..entryCount or no table is loaded.
inline const ClockEntry* EntryAt(const SystemInfo& info, int32_t index) {
    const std::span<const ClockEntry> table = TableOf(info);
    if (index < 1 || static_cast<size_t>(index) > table.size()) return nullptr;
    return &table[static_cast<size_t>(index - 1)];
}

inline uint8_t SelectByte(const ClockEntry& entry) {
    return static_cast<uint8_t>(entry.chipValue & 0xFF);
}

}  // namespace vc
