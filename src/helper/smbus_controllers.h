// Finding the SMBus host controllers the helper may drive, from sysfs (a
// root path, so tests can point it at a tree of their own):
// - block-buffer controllers (kind 1), the PIIX4 family: a known function
//   whose I/O base is configuration register 0x90, host enable 0xD2 bit 0;
// - byte-by-byte controllers (kind 2), the ICH family: an Intel function of
//   class SMBus (0x0c05) whose I/O base is register 0x20, host enable 0x40
//   bit 0.
// A controller a kernel driver other than the family's own has claimed is
// left out: whatever it is, it is not what the sequences were written for.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "helper/helper_hardware.h"
#include "helper/pci_config_files.h"

namespace vc::helper {

// The controller one function's configuration space (at least its first
// 256 bytes) shows; nothing when it is no controller of ours.
std::optional<SmbusController> ClassifySmbusFunction(std::span<const uint8_t> config);

// Whether a function's header (its first 64 bytes) names a controller of
// ours, and the register beyond the header the helper reads there (its
// host enable); nothing for any other function.
std::optional<uint8_t> SmbusRegisterBeyondHeader(std::span<const uint8_t> header);

// What the helper reads beyond the header of each function: the SMBus
// functions' host enable and the host bridge's memory clock class (0x50).
std::optional<uint8_t> HelperRegisterBeyondHeader(const std::string& name, std::span<const uint8_t> header);

// Every controller among `pci`'s functions, with its bound driver and the
// i2c-dev node of its adapter.
std::vector<SmbusController> FindSmbusControllers(const PciConfigFiles& pci);
// The same for a tree read as it is (tests).
std::vector<SmbusController> FindSmbusControllers(const std::string& sysRoot);

// The ACPI OpRegion the kernel log says claims the I/O port `ioBase`: its
// name ("\\SM00") from the warning a kernel driver's resource check leaves
// when the BIOS's ACPI tables declare a region over the SMBus ports
// ("ACPI Warning: SystemIO range 0x...E800-0x...E807 conflicts with OpRegion
// 0x...E800-0x...E80F (\\SM00) (...)", drivers/acpi/utils and
// utaddress.c); the driver then declines the controller unless the kernel
// runs with acpi_enforce_resources=lax. `kernelLog` is message text, one a
// line; nothing when no such line covers the port.
std::optional<std::string> AcpiRegionOver(const std::string& kernelLog, uint16_t ioBase);

// Which of a controller's adapters (i2c-N under its PCI device, with their
// names) is the host itself: the only one, or the one whose name ends in
// "at XXXX", its I/O base; -1 when none or no way to tell.
int PickAdapter(const std::vector<std::pair<int, std::string>>& adapters, uint16_t ioBase);

}  // namespace vc::helper
