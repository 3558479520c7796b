// Builds MBInfo.dat / CGInfo.dat bytes for one test case, field by field and
// independently of the program's own encoder, so reader faults show.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/base/little_endian.h"

namespace vc::test {

struct TestEntry {
    double bus = 100.0;
    double pci = 33.3;
    double mem = 100.0;
    int32_t band = 20;
    int32_t select = 0;
};

struct TestBoard {
    TestBoard(std::string id, std::string chipName = "CHIP-A") : biosId(std::move(id)), chip(std::move(chipName)) {}
    std::string biosId;
    std::string chip = "CHIP-A";
    int32_t chipset = 0;
    int32_t base = 0x5000;
    int32_t kind = 1;
    double maxBus = 1.3;
    double maxPci = 1.2;
    double maxMem = 1.2;
};

struct TestChip {
    TestChip(std::string chipName, std::vector<TestEntry> table = {}, int32_t firstByteMask = 0, int32_t fine = 0)
        : name(std::move(chipName)), entries(std::move(table)), mask(firstByteMask), fineTune(fine) {}
    std::string name;
    std::vector<TestEntry> entries;
    int32_t mask = 0;
    int32_t fineTune = 0;
    std::optional<int32_t> declaredCount;  // entryCount written instead of entries.size()
};

class LeBytes {
public:
    void I32(int32_t value) { ByteWriter(bytes).PutI32(value); }
    void F64(double value) { ByteWriter(bytes).PutF64(value); }
    // Up to 16 bytes of `text`, zero-filled; a 16-character text has no terminator.
    void Text16(const std::string& text) {
        uint8_t field[16] = {};
        std::memcpy(field, text.data(), text.size() < 16 ? text.size() : 16);
        bytes.insert(bytes.end(), field, field + 16);
    }
    std::vector<uint8_t> bytes;
};

inline std::vector<uint8_t> BoardFile(const std::vector<TestBoard>& boards, int32_t version = 1,
                                      std::optional<int32_t> declaredCount = std::nullopt) {
    LeBytes out;
    out.I32(version);
    out.I32(declaredCount.value_or(static_cast<int32_t>(boards.size())));
    for (const TestBoard& b : boards) {
        out.Text16(b.biosId);
        out.Text16(b.chip);
        out.I32(0);
        out.I32(b.chipset);
        out.I32(b.base);
        out.I32(b.kind);
        out.F64(b.maxBus);
        out.F64(b.maxPci);
        out.F64(b.maxMem);
        out.I32(0x12345678);  // the file's pointer slot: must be ignored
        out.I32(0);
    }
    return out.bytes;
}

inline std::vector<uint8_t> ClockGenFile(const std::vector<TestChip>& chips, int32_t version = 1) {
    LeBytes out;
    out.I32(version);
    out.I32(static_cast<int32_t>(chips.size()));
    for (const TestChip& c : chips) {
        out.Text16(c.name);
        out.I32(c.declaredCount.value_or(static_cast<int32_t>(c.entries.size())));
        out.I32(c.mask);
        out.I32(0);
        out.I32(0);
        out.I32(c.fineTune);
        out.I32(0x12345678);
    }
    for (const TestChip& c : chips) {
        for (const TestEntry& e : c.entries) {
            out.F64(e.bus);
            out.F64(e.pci);
            out.F64(e.mem);
            out.I32(e.band);
            out.I32(e.select);
        }
    }
    return out.bytes;
}

// n entries whose bus clocks start at `firstBus` and whose select bytes
// start at `firstSelect`, so each table can be told apart.
inline std::vector<TestEntry> Entries(int n, double firstBus, int32_t firstSelect = 0) {
    std::vector<TestEntry> entries;
    for (int i = 0; i < n; ++i) entries.push_back({firstBus + i, 33.3, firstBus + i, 20, firstSelect + i});
    return entries;
}

}  // namespace vc::test
