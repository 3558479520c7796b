// The SMBus host controllers a board's PCI shows, found by their IDs (the
// controller table) at the function their family puts the host on, of any
// device on bus 0 (PIIX4 at 07.3 on most boards; the ICH family at 1F.3;
// VIA's VT82C686 at x.4, its VT8233 at x.0), through the chosen bus path's
// PCI read.
// The program uses the first one of a board's kind when the board record
// leaves the base to PCI; vcctl board-id proposes what it finds.
#pragma once

#include <cstdint>
#include <vector>

#include "core/hw/bus_path.h"
#include "core/hw/smbus_controller_table.h"

namespace vc {

struct FoundSmbusController {
    const KnownSmbusFunction* function = nullptr;
    uint8_t pciDevice = 0;  // on bus 0
    uint8_t pciFunction = 0;
    uint16_t base = 0;
    bool enabled = true;  // its family's enable rule holds (SmbusHostEnabled)
};

// The controllers PCI shows, in device order, each with whether its host is
// on; a function whose base register holds no I/O range, or a base of 0, is
// left out. Faults (a refused PCI
// request) come back as they are, with what was found before.
BusResult ScanSmbusControllers(BusPath& path, std::vector<FoundSmbusController>& found);

}  // namespace vc
