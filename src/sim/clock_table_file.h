// A small, bounds-checked reader for the clock-generator data file, so a
// machine description can take its chip's table from one: version int32 = 1,
// count int32, count 40-byte headers (name char[16], entryCount,
// firstByteMask, two reserved int32, fineTune, 4 ignored bytes), then the
// tables of all headers in order (32-byte entries: busMHz, pciMHz, memMHz
// doubles, bandCode, chipValue int32), all little-endian.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/board/records.h"

namespace vc::sim {

struct ClockTable {
    int32_t firstByteMask = 0;
    std::vector<ClockEntry> entries;
};

// The table of the chip called `name` (the last header of that name, as the
// program itself picks). False with a message on any defect of the bytes.
bool ParseClockTable(std::span<const uint8_t> bytes, const std::string& name, ClockTable& table,
                     std::string& error);

}  // namespace vc::sim
