// Shared helpers for the simulated-machine tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/little_endian.h"
#include "core/hw/hw_driver.h"
#include "core/hw/smbus_registers.h"
#include "sim/machine_catalogue.h"

namespace vc::sim::test {

// The embedded default machine, on virtual time.
inline MachineDescription VirtualDefault() {
    auto result = DefaultMachineDescription();
    EXPECT_TRUE(result.ok()) << result.error;
    MachineDescription d = result.ok() ? *result.description : MachineDescription{};
    d.time.mode = TimeMode::Virtual;
    return d;
}

// A small table: 100, 112 and 133 MHz with select bytes 0x10, 0x20, 0x30.
inline std::vector<ClockEntry> SmallTable() {
    return {{100.0, 33.3, 100.0, 20, 0x10}, {112.0, 37.3, 112.0, 20, 0x20}, {133.0, 33.3, 133.0, 30, 0x30}};
}

// A 9x machine with the given controller kind and chip model; a generic
// chip gets SmallTable(), the other models have their own.
inline MachineDescription Board(int32_t smbusKind, const std::string& chipModel, uint32_t osKind = 1) {
    MachineDescription d = VirtualDefault();
    static const OsDescription kinds[] = {{2, 6, 0}, {1, 4, 10}, {2, 4, 0}, {2, 5, 0}};
    d.os = kinds[osKind];
    d.board.smbusKind = smbusKind;
    d.board.smbusBase = smbusKind == 2 ? 0xEF00 : 0x5000;
    d.board.bootBusMHz = 100.0;
    d.chip = ChipDescription{};
    d.chip.model = chipModel;
    d.chip.name = chipModel;
    if (chipModel == "generic") d.chip.entries = SmallTable();
    return d;
}

// Port access relative to a controller base, as a 9x program does it.
struct Ports {
    SimMachine& m;
    uint16_t base;
    uint8_t In(uint16_t reg) { return m.InPort8(static_cast<uint16_t>(base + reg)); }
    void Out(uint16_t reg, uint8_t v) { m.OutPort8(static_cast<uint16_t>(base + reg), v); }
    // The program's pause between two steps: long enough for any transfer.
    void Wait() { m.AdvanceTimePs(4 * kPsPerMs); }
};

// The 28-byte NT SMBus write request.
inline std::vector<uint8_t> SmbusRequest(uint32_t ioBase, uint32_t count, uint32_t kind, uint32_t mask,
                                         uint32_t operation = 2) {
    const uint32_t fields[7] = {ioBase, count, 0, operation, kind, 0xD2, mask};
    std::vector<uint8_t> bytes(sizeof fields);
    for (size_t i = 0; i < 7; ++i) PutLe32(bytes, 4 * i, fields[i]);
    return bytes;
}

// Sends one request on a freshly opened NT device.
inline bool NtRequest(SimMachine& m, uint32_t code, std::vector<uint8_t> input,
                      std::vector<uint8_t>& output, std::vector<uint8_t> referenced = {}) {
    const DeviceHandle h = m.OpenDevice(kNtDriverName, DeviceOpenMode::NtShared);
    if (h == kNoDevice) return false;
    DeviceRequest r{code, input, output, referenced};
    const bool ok = m.DeviceIoControl(h, r);
    m.CloseDevice(h);
    return ok;
}

// Only the SMBus transactions of the trace, as text.
inline std::vector<std::string> WireLines(const SimMachine& m) {
    std::vector<std::string> lines;
    for (const auto& e : m.trace().entries()) {
        if (e.kind == TraceKind::Smbus || e.kind == TraceKind::Select) lines.push_back(FormatEntry(e));
    }
    return lines;
}

}  // namespace vc::sim::test
