// Every SMBus host controller the program and the privileged components
// know, one row each, by PCI ID: the program's scan (`smbus-base pci`,
// board-id, probe), the Linux helper, the NT driver's policy and the
// simulated board all read this table and nothing else. A function whose
// IDs are not here is no controller of ours, whatever its class says.
#pragma once

#include <cstdint>
#include <span>

namespace vc {

// What says a controller of a family is on.
enum class SmbusEnableRule : uint8_t {
    // PIIX4 and ICH families: the command register's I/O space bit (a PCI
    // function decodes its I/O ranges only with it) and the host-enable bit
    // (host configuration bit 0: the kernel's i2c-piix4 refuses a host
    // without it, i2c-i801 turns it on).
    IoSpaceAndHost,
    // VIA: the host-enable bit alone. The power-management function's
    // command register reads 0 while its SMBus decodes (the ports are
    // enabled by the host configuration, not the command register); the
    // kernel's i2c-viapro looks only at 0xD2 bit 0.
    HostOnly,
};

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
    SmbusEnableRule enableRule;
};

// Whether a function of the row `known` is on, from its command register
// and the byte holding its host enable (at known.enableRegister).
bool SmbusHostEnabled(const KnownSmbusFunction& known, uint32_t command, uint8_t enableByte);

// Every row, in the order the scan tries them.
std::span<const KnownSmbusFunction> KnownSmbusFunctions();

// The row of a function's IDs, or nullptr.
const KnownSmbusFunction* FindKnownSmbusFunction(uint16_t vendor, uint16_t device);

}  // namespace vc
