// Every SMBus host controller the program and the privileged components
// know, one row each, by PCI ID: the program's scan (`smbus-base pci`,
// board-id, probe), the Linux helper, the NT driver's policy and the
// simulated board all read this table and nothing else. A function whose
// IDs are not here is no controller of ours, whatever its class says.
#pragma once

#include <cstdint>
#include <span>

namespace vc {

struct KnownSmbusFunction {
    uint16_t vendor;
    uint16_t device;
    const char* name;
    uint8_t baseRegister;    // dword register holding the I/O base, bit 0 set
    uint16_t baseMask;       // the address bits of that register
    int32_t kind;            // kSmbusControllerBlockBuffer or kSmbusControllerByteWise
    uint8_t function;        // the PCI function of its device the host sits at
    uint8_t enableRegister;  // host configuration: bit 0 (kHostEnableBit) turns the host on
    const char* linuxDriver; // the kernel driver that serves it on Linux
};

// Every row, in the order the scan tries them.
std::span<const KnownSmbusFunction> KnownSmbusFunctions();

// The row of a function's IDs, or nullptr.
const KnownSmbusFunction* FindKnownSmbusFunction(uint16_t vendor, uint16_t device);

}  // namespace vc
