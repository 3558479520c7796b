// What a privileged component (the Linux helper, the NT kernel driver, a
// simulated machine in the tests) offers the one request handler
// (privileged_requests.h). Nothing here allocates or throws: the NT driver
// runs this code in the kernel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/hw/smbus_sequences.h"

namespace vc::privileged {

// The BIOS window the identification search reads: 64 KiB at 0xF0000.
inline constexpr uint32_t kBiosWindowPhysical = 0xF0000;
inline constexpr size_t kBiosWindowBytes = 0x10000;
// More SMBus controllers than any board has.
inline constexpr size_t kMaxControllers = 8;
// The clock generator's 7-bit address (0xD2 / 0xD3 in 8-bit form).
inline constexpr uint8_t kClockGenAddress7 = 0x69;

// An SMBus host controller as PCI shows it.
struct Controller {
    uint8_t bus = 0;
    uint8_t device = 0;
    uint8_t function = 0;
    uint16_t vendor = 0;
    uint16_t deviceId = 0;
    int32_t kind = 0;            // kSmbusControllerBlockBuffer or kSmbusControllerByteWise
    uint16_t ioBase = 0;         // 0: no I/O range assigned
    bool enabled = false;        // I/O decoding and the host interface are on
    bool kernelOwned = false;    // a driver of the system owns it: transfers go through that driver
    uint8_t baseRegister = 0;    // where its PCI configuration keeps the base
    uint8_t enableRegister = 0;  // and the host-enable bit
    char driver[24] = {};        // the system's driver that owns it, for the probe report; empty: none
    char adapter[24] = {};       // and the node it is reached through
    // The ACPI OpRegion over its ports ("\\SM00") when the system's kernel
    // declined the controller for that; empty: none known.
    char acpiRegion[24] = {};
};

class Hardware {
public:
    virtual ~Hardware() = default;

    // The kBiosWindowBytes at kBiosWindowPhysical, valid until
    // UnmapBiosWindow; empty when the window cannot be read.
    virtual std::span<const uint8_t> MapBiosWindow() = 0;
    virtual void UnmapBiosWindow() = 0;
    // The low 32 bits of MSR 0x2A; false where the processor has none (the
    // implementation checks CPUID before it reads) or the read failed.
    virtual bool ReadConfigWord(uint32_t& word) = 0;
    // The configuration dword at `reg` (aligned) of bus:device.function;
    // 0xFFFFFFFF where no device answers. False when the read failed.
    virtual bool ReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t& value) = 0;
    // The SMBus host controllers of a kind the sequences drive, as PCI shows
    // them now: how many were put into `out` (at most its size).
    virtual size_t FindControllers(std::span<Controller> out) = 0;
    // A write the handler has checked: on the controller's own ports under
    // the one transfer lock (see smbus_port_transfer.h), or through the
    // driver that owns it. True when it completed.
    virtual bool WriteClockGen(const Controller& controller, SmbusVariant variant, uint8_t address7, uint8_t mask,
                               std::span<const uint8_t> data) = 0;
    // Whether a device acknowledges a read at `address7`; nothing when the
    // controller could not be asked.
    virtual std::optional<bool> DeviceAnswers(const Controller& controller, uint8_t address7) = 0;
    // A block read (command 0x00) of the device at `address7`: the count it
    // reported, -1 when the read failed or could not be made.
    virtual int32_t ReadClockGenBlock(const Controller& controller, uint8_t address7, std::span<uint8_t> block) = 0;
};

// The data bytes an SMBus write request points at (its third field, an
// address in the caller's memory). The Linux helper has them in the frame;
// the NT driver reads the caller's memory, probed and under a guard.
class CallerMemory {
public:
    virtual ~CallerMemory() = default;
    // Copies up to out.size() bytes from `address`: how many it could. A
    // fault answers 0; nothing has touched the hardware by then.
    virtual size_t Read(uint32_t address, std::span<uint8_t> out) = 0;
};

// Data bytes that travel with the request (the Linux helper's frame, a
// test's bytes): the address means nothing there.
class BytesAtHand final : public CallerMemory {
public:
    explicit BytesAtHand(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    size_t Read(uint32_t, std::span<uint8_t> out) override {
        const size_t n = out.size() < bytes_.size() ? out.size() : bytes_.size();
        for (size_t i = 0; i < n; ++i) out[i] = bytes_[i];
        return n;
    }

private:
    std::span<const uint8_t> bytes_;
};

}  // namespace vc::privileged
