// The machine seam: every question the core asks of the platform it runs on.
// One interface, injected into the core; the host machine answers from this
// computer, the simulated machine from an emulated mainboard.
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

struct CpuidRegs {
    uint32_t eax = 0;
    uint32_t ebx = 0;
    uint32_t ecx = 0;
    uint32_t edx = 0;
};

// How a device is opened: the 9x virtual device is opened per request with
// CREATE_NEW | DELETE_ON_CLOSE, the NT port driver once with GENERIC_READ.
enum class DeviceOpenMode { Win9xPerRequest, NtShared };

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

inline constexpr int32_t kThreadPriorityError = 0x7FFFFFFF;
inline constexpr int32_t kThreadPriorityTimeCritical = 15;

class Machine {
public:
    virtual ~Machine() = default;

    // --- operating system -------------------------------------------------
    virtual OsVersion GetOsVersion() = 0;

    // --- driver -----------------------------------------------------------
    // Returns kNoDevice when the device cannot be opened.
    virtual DeviceHandle OpenDevice(const std::string& name, DeviceOpenMode mode) = 0;
    virtual void CloseDevice(DeviceHandle handle) = 0;
    // The request's boolean result.
    virtual bool DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) = 0;
    // The 9x BIOS request hands back a 32-bit window address; this resolves it
    // to the window's bytes (offsets 0x0000-0xFFFF). An address the driver
    // never handed out resolves to an empty span.
    virtual std::span<const uint8_t> ResolveBiosWindow(uint32_t address) = 0;

    // --- direct port access (9x personality) ------------------------------
    virtual uint8_t InPort8(uint16_t port) = 0;
    virtual void OutPort8(uint16_t port, uint8_t value) = 0;
    virtual uint32_t InPort32(uint16_t port) = 0;
    virtual void OutPort32(uint16_t port, uint32_t value) = 0;

    // --- processor --------------------------------------------------------
    // Whether the identification bit (bit 21) of EFLAGS can be toggled.
    virtual bool HasCpuid() = 0;
    virtual CpuidRegs Cpuid(uint32_t leaf) = 0;
    // Flag-register tests for processors without CPUID.
    virtual bool DivisionTestSetsClone() = 0;      // zero flag survives DIV
    virtual bool FlagsHighNibbleStuckSet() = 0;    // bits 12-15 read back as ones after clearing (8086)
    virtual bool FlagsHighNibbleStuckClear() = 0;  // bits 12-15 read back as zero after setting (80286)
    virtual bool AlignmentCheckToggles() = 0;      // EFLAGS bit 18 can be changed (486 and up)
    virtual uint64_t ReadTimeStampCounter() = 0;
    // Runs `iterations` of the bit-scan timing loop on the processor.
    virtual void RunBitScanLoop(uint32_t iterations) = 0;

    // --- time ---------------------------------------------------------------
    // false when the performance counter is not available.
    virtual bool QueryPerformanceFrequency(uint64_t& frequency) = 0;
    virtual bool QueryPerformanceCounter(uint64_t& counter) = 0;
    virtual uint32_t TickCountMs() = 0;
    virtual int32_t GetThreadPriority() = 0;
    virtual void SetThreadPriority(int32_t priority) = 0;
};

}  // namespace vc
