// The privileged part of the machine seam: the operating system's version,
// the hardware access driver, direct port I/O and the BIOS window. Only a
// backend that can reach the board's hardware implements more than "none".
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vc {

// What GetVersionEx reports. platformId follows the Win32 values:
// 1 = Windows 9x family, 2 = NT family; anything else is "other".
struct OsVersion {
    uint32_t platformId = 0;
    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
};

inline constexpr uint32_t kPlatformWin9x = 1;
inline constexpr uint32_t kPlatformNt = 2;

// How a device is opened: the 9x virtual device with CREATE_NEW |
// DELETE_ON_CLOSE (loaded at the first open, unloaded after the last
// close), the NT port driver with GENERIC_READ. Each is opened once.
enum class DeviceOpenMode { Win9xDynamic, NtShared };

using DeviceHandle = uint32_t;  // 0 = not open
inline constexpr DeviceHandle kNoDevice = 0;

// One device-control request. `input` and `output` are the request's buffers
// exactly as laid out on the wire. Some requests carry a 32-bit address of
// caller memory inside `input` (the SMBus write request's data address); a
// 64-bit process cannot put a pointer there, so the caller hands the bytes
// that address refers to in `referenced` and the machine reads them from
// there, as the real driver would read them from the caller's memory.
struct DeviceRequest {
    uint32_t code = 0;
    std::span<const uint8_t> input;
    std::span<uint8_t> output;
    std::span<const uint8_t> referenced;
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual OsVersion GetOsVersion() = 0;

    // Returns kNoDevice when the device cannot be opened.
    virtual DeviceHandle OpenDevice(const std::string& name, DeviceOpenMode mode) = 0;
    virtual void CloseDevice(DeviceHandle handle) = 0;
    // The request's boolean result.
    virtual bool DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) = 0;
    // The 9x BIOS request hands back a 32-bit window address; this resolves it
    // to the window's bytes (offsets 0x0000-0xFFFF). An address the driver
    // never handed out resolves to an empty span.
    virtual std::span<const uint8_t> ResolveBiosWindow(uint32_t address) = 0;

    // Direct port access (9x personality).
    virtual uint8_t InPort8(uint16_t port) = 0;
    virtual void OutPort8(uint16_t port, uint8_t value) = 0;
    virtual uint32_t InPort32(uint16_t port) = 0;
    virtual void OutPort32(uint16_t port, uint32_t value) = 0;
};

}  // namespace vc
