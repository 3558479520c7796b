// The SMBus host controllers a board's PCI shows, found by their IDs at
// function 3 of any device on bus 0 (where both families put the SMBus:
// PIIX4 at 07.3 on most boards, 01.3 on some; the ICH family at 1F.3),
// through the chosen bus path's PCI read.
// The program uses the first one of a board's kind when the board record
// leaves the base to PCI; vcctl board-id proposes what it finds.
#pragma once

#include <cstdint>
#include <vector>

#include "core/hw/bus_path.h"

namespace vc {

// One controller function the scan knows.
struct KnownSmbusFunction {
    uint16_t vendor;
    uint16_t device;
    const char* name;
    uint8_t baseRegister;  // dword register holding the I/O base, bit 0 set
    uint16_t baseMask;     // the address bits of that register
    int32_t kind;          // kSmbusControllerBlockBuffer or kSmbusControllerByteWise
};

// Every function the scan tries, in the order it tries them.
const std::vector<KnownSmbusFunction>& KnownSmbusFunctions();

inline constexpr uint8_t kSmbusPciFunction = 3;

struct FoundSmbusController {
    const KnownSmbusFunction* function = nullptr;
    uint8_t pciDevice = 0;  // on bus 0, function kSmbusPciFunction
    uint16_t base = 0;
};

// The controllers PCI shows, in device order; a function whose base register
// holds no I/O range, or a base of 0, is left out. Faults (a refused PCI
// request) come back as they are, with what was found before.
BusResult ScanSmbusControllers(BusPath& path, std::vector<FoundSmbusController>& found);

}  // namespace vc
