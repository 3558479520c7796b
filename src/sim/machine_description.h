// What a simulated machine is made of, as read from a machine description
// (machines/README.md documents the text format). Plain data: the parts of
// SimMachine are built from it, and callers may adjust it before building.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/board/records.h"
#include "sim/sim_time.h"

namespace vc::sim {

struct ProcessorDescription {
    bool hasCpuid = true;
    std::string vendor = "GenuineIntel";  // at most 12 characters
    uint32_t signature = 0x683;           // CPUID leaf 1 EAX
    uint32_t features = 0x0383F9FF;       // CPUID leaf 1 EDX; bit 4 = time-stamp counter
    std::array<uint32_t, 4> leaf2 = {0x03020101, 0, 0, 0x0C040843};
    // Without CPUID: which flag tests the processor passes, as the family
    // they identify (0 = 8086, 2 = 80286, 3 = 80386, 4 = 80486).
    int32_t flagsKind = 4;
    bool clone = false;  // the division test leaves the zero flag set
    double multiplier = 5.0;
    // Multiplier code in the configuration word; derived from `multiplier`
    // when not given. ratioExtended sets bit 27 (Intel).
    std::optional<uint32_t> ratioCode;
    bool ratioExtended = false;
    std::optional<uint32_t> configWord;  // the whole word, overriding the above
    std::optional<uint32_t> loopCycles;  // cycles per bit-scan iteration
};

struct OsDescription {
    uint32_t platformId = 2;
    uint32_t majorVersion = 5;
    uint32_t minorVersion = 0;
};

struct TimeDescription {
    TimeMode mode = TimeMode::Virtual;
    bool perfCounterPresent = true;
    uint64_t perfFrequency = 3'579'545;
    uint32_t tickStartMs = 0;
    bool priorityQueryFails = false;  // GetThreadPriority answers the error value
};

struct BiosString {
    uint32_t offset = 0;
    std::string text;
};

struct BiosDescription {
    uint8_t fill = 0xFF;
    uint32_t windowAddress = 0x000F0000;  // what the 9x driver hands out
    std::vector<BiosString> strings;      // the first one is the identification
};

struct PciDescription {
    uint32_t hostBridgeId = 0x71908086;     // register 0x00: device << 16 | vendor
    std::map<uint8_t, uint32_t> registers;  // dword-aligned host bridge registers
};

struct BoardDescription {
    int32_t smbusKind = 0;  // 0 none, 1 block buffer, 2 byte by byte
    uint16_t smbusBase = 0;
    // The SMBus function's row of the controller table (its name); empty:
    // the PIIX4 for kind 1, the ICH2 for kind 2.
    std::string southBridge;
    double bootBusMHz = 100.0;
    // How the BIOS left the SMBus function: its host-enable bit, and its
    // command register (none: as the family's boards show it, the I/O bit
    // set on PIIX4 and ICH, 0 on VIA's power-management function).
    bool smbusHostEnabled = true;
    std::optional<uint16_t> smbusCommand;
    // Firmware holds the ICH controller's semaphore.
    bool smbusSemaphoreHeld = false;
};

struct ChipDescription {
    std::string model;  // "" no chip, else a name FindChipModel knows
    std::string name;   // shown in the trace; defaults to the model
    // The table of a model that takes it from the description (`generic`);
    // every other model has its own and leaves these unused.
    int32_t firstByteMask = 0;
    std::vector<ClockEntry> entries;
    std::optional<std::vector<uint8_t>> registers;  // power-on register file
    bool ignoresWrites = false;  // acknowledges every byte and changes nothing
};

struct FaultDescription {
    bool driverMissing = false;
    bool biosRequestFails = false;
    bool configWordFails = false;
    bool pciFails = false;
    bool smbusFails = false;
    // The machine hangs once a select takes the bus above this clock.
    std::optional<double> hangAboveBusMHz;
};

struct MachineDescription {
    std::string name;
    ProcessorDescription cpu;
    OsDescription os;
    TimeDescription time;
    BiosDescription bios;
    PciDescription pci;
    BoardDescription board;
    ChipDescription chip;
    FaultDescription faults;
};

// The result of loading a description: the description, or why not.
struct DescriptionResult {
    std::optional<MachineDescription> description;
    std::string error;
    bool ok() const { return description.has_value(); }
};

// Parses a description. baseDir is where files the description names are
// looked for (empty: the description may name none). Errors name the line.
DescriptionResult LoadMachineDescription(const std::string& text, const std::string& baseDir);

// The OS kind a platform/version pair stands for (0 other, 1 9x, 2 NT 4,
// 3 NT 5.x), which decides the drivers the machine offers.
int32_t PersonalityOf(const OsDescription& os);

}  // namespace vc::sim
