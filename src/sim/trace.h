// The machine's trace: every port access, every SMBus transaction as the
// controller decoded it, what the clock chip made of a frequency select, and
// every driver request, all in the order they happened. Tests read the
// entries; `vcctl trace` prints Lines().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vc::sim {

// Who touched the port: the program (direct port I/O) or the simulated
// kernel driver doing a request's bus work.
enum class PortOrigin { Program, Driver };

struct PortAccess {
    bool output = false;
    uint16_t port = 0;
    uint32_t value = 0;
    uint8_t width = 8;      // 8 or 32
    PortOrigin origin = PortOrigin::Program;
    bool denied = false;    // no direct port I/O on this system: nothing reached the port
};

enum class SmbusProtocol { BlockWrite, BlockRead, WordWrite, ReceiveByte, Unsupported };

struct SmbusTransaction {
    uint8_t address = 0;        // 8-bit form: 0xD2 write, 0xD3 read
    SmbusProtocol protocol = SmbusProtocol::BlockWrite;
    uint8_t command = 0;
    uint8_t count = 0;          // the byte count sent (block write) or reported (block read)
    std::vector<uint8_t> bytes; // the data bytes that crossed the wire
    bool acknowledged = true;   // false: no device answered at the address
    bool complete = true;       // false: closed before `count` bytes were sent
};

struct ChipSelect {
    std::string chip;
    uint8_t value = 0;
    bool accepted = false;
    double busMHz = 0.0;   // the new bus clock when accepted
    std::string reason;    // why not, when rejected
};

struct DriverCall {
    std::string device;
    uint32_t code = 0;
    bool succeeded = false;
    std::string note;
};

enum class TraceKind { Port, Smbus, Select, Driver };

// One entry: `kind` says which of the records is filled.
struct TraceEntry {
    TraceKind kind = TraceKind::Port;
    PortAccess port;
    SmbusTransaction smbus;
    ChipSelect select;
    DriverCall driver;

    TraceEntry(const PortAccess& p) : kind(TraceKind::Port), port(p) {}            // NOLINT
    TraceEntry(const SmbusTransaction& t) : kind(TraceKind::Smbus), smbus(t) {}    // NOLINT
    TraceEntry(const ChipSelect& s) : kind(TraceKind::Select), select(s) {}        // NOLINT
    TraceEntry(const DriverCall& d) : kind(TraceKind::Driver), driver(d) {}        // NOLINT
};

class Trace {
public:
    // Returns the entry's position, so an entry still in progress (a
    // byte-by-byte transfer) can be completed where it began.
    size_t Add(TraceEntry entry) {
        entries_.push_back(std::move(entry));
        return entries_.size() - 1;
    }
    SmbusTransaction* TransactionAt(size_t index) {
        if (index >= entries_.size() || entries_[index].kind != TraceKind::Smbus) return nullptr;
        return &entries_[index].smbus;
    }
    void Clear() { entries_.clear(); }
    const std::vector<TraceEntry>& entries() const { return entries_; }

    std::vector<PortAccess> PortAccesses() const { return Pick(TraceKind::Port, &TraceEntry::port); }
    std::vector<SmbusTransaction> Transactions() const { return Pick(TraceKind::Smbus, &TraceEntry::smbus); }
    std::vector<ChipSelect> Selects() const { return Pick(TraceKind::Select, &TraceEntry::select); }
    std::vector<DriverCall> DriverCalls() const { return Pick(TraceKind::Driver, &TraceEntry::driver); }

    // One text line per entry, e.g.
    //   port out 0x5000 <- 0xFF
    //   smbus block-write addr=0xD2 cmd=0x00 count=1 bytes=[0x49]
    std::vector<std::string> Lines() const;

private:
    template <typename T>
    std::vector<T> Pick(TraceKind kind, T TraceEntry::*field) const {
        std::vector<T> picked;
        for (const auto& e : entries_) {
            if (e.kind == kind) picked.push_back(e.*field);
        }
        return picked;
    }

    std::vector<TraceEntry> entries_;
};

std::string FormatEntry(const TraceEntry& entry);

}  // namespace vc::sim
