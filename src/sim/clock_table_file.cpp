#include "sim/clock_table_file.h"

#include "core/base/little_endian.h"

namespace vc::sim {
namespace {

constexpr size_t kHeaderSize = 40;
constexpr size_t kEntrySize = 32;
constexpr size_t kNameSize = 16;

class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool Has(size_t at, size_t n) const { return at <= bytes_.size() && n <= bytes_.size() - at; }
    int32_t I32(size_t at) const { return static_cast<int32_t>(GetLe32(bytes_, at)); }
    double F64(size_t at) const { return GetLeF64(bytes_, at); }
    std::string Name(size_t at) const {
        std::string name;
        for (size_t i = 0; i < kNameSize && bytes_[at + i] != 0; ++i) {
            name.push_back(static_cast<char>(bytes_[at + i]));
        }
        return name;
    }

private:
    std::span<const uint8_t> bytes_;
};

}  // namespace

bool ParseClockTable(std::span<const uint8_t> bytes, const std::string& name, ClockTable& table,
                     std::string& error) {
    const Reader r(bytes);
    if (!r.Has(0, 8)) return error = "clock table file: shorter than its 8-byte header", false;
    if (r.I32(0) != 1) return error = "clock table file: version is not 1", false;
    const int32_t count = r.I32(4);
    if (count < 0 || !r.Has(8, static_cast<size_t>(count) * kHeaderSize)) {
        return error = "clock table file: header count does not fit the file", false;
    }
    const size_t tablesStart = 8 + static_cast<size_t>(count) * kHeaderSize;
    size_t entriesBefore = 0;
    bool found = false;
    size_t foundAt = 0;
    int32_t foundCount = 0;
    for (int32_t k = 0; k < count; ++k) {
        const size_t at = 8 + static_cast<size_t>(k) * kHeaderSize;
        const int32_t entryCount = r.I32(at + 16);
        if (entryCount < 0 || entryCount > kMaxClockEntries) {
            return error = "clock table file: header " + std::to_string(k) +
                           " has an entry count outside 0..64", false;
        }
        if (r.Name(at) == name) {
            found = true;
            foundCount = entryCount;
            table.firstByteMask = r.I32(at + 20);
            table.entries.assign(static_cast<size_t>(entryCount), ClockEntry{});
            foundAt = tablesStart + entriesBefore * kEntrySize;
        }
        entriesBefore += static_cast<size_t>(entryCount);
    }
    if (!found) return error = "clock table file: no chip named '" + name + "'", false;
    if (!r.Has(foundAt, static_cast<size_t>(foundCount) * kEntrySize)) {
        return error = "clock table file: the table of '" + name + "' runs past the end", false;
    }
    for (size_t i = 0; i < table.entries.size(); ++i) {
        const size_t at = foundAt + i * kEntrySize;
        auto& e = table.entries[i];
        e.busMHz = r.F64(at);
        e.pciMHz = r.F64(at + 8);
        e.memMHz = r.F64(at + 16);
        e.bandCode = r.I32(at + 24);
        e.chipValue = r.I32(at + 28);
    }
    return true;
}

}  // namespace vc::sim
