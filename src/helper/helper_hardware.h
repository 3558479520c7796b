// What the helper needs from the machine it runs on. The request handler
// decides what may be done; an implementation of this seam only does it
// (LinuxHardware on the real machine, a recording double in the tests).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/hw/privileged_hardware.h"
#include "core/hw/smbus_sequences.h"

namespace vc::helper {

// The clock generator's 7-bit address and the BIOS window, as the shared
// request handler names them.
inline constexpr uint8_t kDefaultClockGenAddress = privileged::kClockGenAddress7;
inline constexpr uint64_t kBiosWindowAddress = privileged::kBiosWindowPhysical;
inline constexpr size_t kBiosWindowSize = privileged::kBiosWindowBytes;

// An SMBus host controller as PCI shows it.
struct SmbusController {
    std::string pci;          // "0000:00:1f.3"
    uint16_t vendor = 0;
    uint16_t device = 0;
    int32_t kind = 0;         // kSmbusControllerBlockBuffer or kSmbusControllerByteWise
    uint16_t ioBase = 0;      // 0: no I/O range assigned
    bool enabled = false;     // I/O decoding and the host interface are on
    std::string driver;       // the kernel driver bound to it; empty: none
    std::string adapter;      // its i2c-dev node ("/dev/i2c-0"); empty: none
    uint8_t baseRegister = 0;    // where its PCI configuration keeps the base
    uint8_t enableRegister = 0;  // and the host-enable bit
    std::string acpiRegion{};    // the ACPI OpRegion the kernel declined it for ("\\SM00"); empty: none

    bool KernelOwned() const { return !driver.empty(); }
};

// One write to the clock generator, already checked.
struct ClockGenWrite {
    SmbusVariant variant = SmbusVariant::BlockBuffered;
    uint8_t address7 = kDefaultClockGenAddress;
    uint8_t firstByteMask = 0;
    std::vector<uint8_t> data;  // 1..32 bytes
};

// How a write ended. NotSent: it failed before any byte for the device went
// out (the device did not acknowledge its address, or the transfer never
// started), so sending it again cannot make the device see it twice.
enum class WriteOutcome : uint8_t { Done, NotSent, Failed };

class HelperHardware {
public:
    virtual ~HelperHardware() = default;

    // The kBiosWindowSize bytes at kBiosWindowAddress.
    virtual bool ReadBiosWindow(std::vector<uint8_t>& window, std::string& why) = 0;
    // The low 32 bits of MSR 0x2A on processor 0.
    virtual bool ReadConfigWord(uint32_t& word, std::string& why) = 0;
    // The configuration dword at `reg` (aligned) of 0000:bus:device.function;
    // 0xFFFFFFFF for a device that is not there, as the hardware answers.
    virtual bool ReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t& value,
                               std::string& why) = 0;
    // Every SMBus host controller of a kind the helper drives.
    virtual std::vector<SmbusController> Controllers() = 0;
    // Runs the write on `controller`: through its kernel adapter when a
    // driver owns it, on its ports otherwise, the controller first put in a
    // known state. `how` says which way it went.
    virtual WriteOutcome WriteClockGen(const SmbusController& controller, const ClockGenWrite& write, std::string& how) = 0;
    // Whether a device acknowledges a read at `address7`; nothing when the
    // controller could not be asked.
    virtual std::optional<bool> DeviceAnswers(const SmbusController& controller, uint8_t address7) = 0;
    // A block read (command 0x00) of the device at `address7` into `block`:
    // the count it reported, -1 when the read failed or could not be made.
    virtual int32_t ReadClockGenBlock(const SmbusController& controller, uint8_t address7,
                                      std::span<uint8_t> block) = 0;
};

}  // namespace vc::helper
