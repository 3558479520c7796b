// The SMBus host controllers a board's PCI shows, found at the fixed places
// the two controller families live, through the chosen bus path's PCI read.
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
    uint8_t pciDevice;  // on bus 0
    uint8_t pciFunction;
    uint8_t baseRegister;  // dword register holding the I/O base, bit 0 set
    uint16_t baseMask;     // the address bits of that register
    int32_t kind;          // kSmbusControllerBlockBuffer or kSmbusControllerByteWise
};

// Every function the scan tries, in the order it tries them.
const std::vector<KnownSmbusFunction>& KnownSmbusFunctions();

struct FoundSmbusController {
    const KnownSmbusFunction* function = nullptr;
    uint16_t base = 0;
};

// The controllers PCI shows, in table order; a function whose base register
// holds no I/O range, or a base of 0, is left out. Faults (a refused PCI
// request) come back as they are, with what was found before.
BusResult ScanSmbusControllers(BusPath& path, std::vector<FoundSmbusController>& found);

}  // namespace vc
