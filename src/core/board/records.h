// The records of the board and clock-generator data files, as kept in memory.
// The file layouts (80-byte board record, 40-byte clock-generator header,
// 32-byte table entry) are read and written field by field elsewhere; here
// the fields keep their file order.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/base/text_field.h"

namespace vc {

inline constexpr int kMaxClockEntries = 64; // room the stepping code works with

struct ClockEntry {
    double busMHz = 0.0;
    double pciMHz = 0.0;
    double memMHz = 0.0;   // 0 when the entry gives no memory clock
    int32_t bandCode = 0;  // tens: bus band 1/2/3 (66/100/133); units: memory class 133 = 1
    int32_t chipValue = 0; // low byte: the frequency-select byte
};

struct ClockGenRecord {
    char name[kTextFieldSize] = {};
    int32_t entryCount = 0;
    int32_t firstByteMask = 0;  // low byte ORed into the first byte of every write
    int32_t reserved1 = 0;
    int32_t reserved2 = 0;
    int32_t fineTune = 0;
    std::vector<ClockEntry> entries;  // exactly entryCount items once loaded
};

struct BoardRecord {
    char biosId[kTextFieldSize] = {};
    char clockGenName[kTextFieldSize] = {};
    int32_t reserved1 = 0;
    int32_t chipsetCode = 0;  // 259: memory clock class comes from the host bridge
    int32_t smbusBase = 0;    // kSmbusBaseFromPci: the first controller of the kind PCI shows
    int32_t smbusKind = 0;    // 1 block buffer, 2 byte by byte
    double maxBusRatio = 0.0;
    double maxPciRatio = 0.0;
    double maxMemRatio = 0.0;
    // In the file a 4-byte slot that is ignored; in memory the loaded chip.
    std::shared_ptr<ClockGenRecord> clockGen;
    int32_t reserved2 = 0;
};

inline constexpr int32_t kChipsetReadsMemClass = 259;
// A board whose controller's base the BIOS sets differently from board to
// board leaves it to PCI ("smbus-base pci" in the sources).
inline constexpr int32_t kSmbusBaseFromPci = 0;

}  // namespace vc
