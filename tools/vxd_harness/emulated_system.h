// The part of Windows 9x a virtual device meets, emulated inside one 32-bit
// Windows test process: the processor's CPUID answers and MSR 0x2A, the
// system VM's page table for the first megabyte and a made-up BIOS image in
// physical memory behind it, and the memory manager's services. The device
// runs in this process at user level; every instruction it executes is
// single-stepped (loaded_device.h), so CPUID, RDMSR and int 20h are answered
// from here and never reach the machine the tests run on.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/base/processor.h"

namespace vc::vxd {

struct EmulatedCpu {
    bool hasCpuid = true;                      // false: EFLAGS bit 21 cannot be changed
    std::map<uint32_t, CpuidRegs> leaves;      // absent leaves answer zeros
    std::optional<uint32_t> configWord;        // MSR 0x2A's low half; nullopt: RDMSR 0x2A faults
};

inline constexpr uint32_t kPageBytes = 0x1000;
inline constexpr uint32_t kFirstMegabytePages = 0x110;  // 0 to 1 MB + 64 KB
inline constexpr uint32_t kBiosPhysical = 0xF0000;
inline constexpr uint32_t kBiosBytes = 0x10000;
// Where the emulated process's buffers live: two pages inside the private
// arena (0x00400000-0x7FFFFFFF), as a Win32 program's memory always is.
inline constexpr uint32_t kArenaBuffer = 0x20000000;
inline constexpr uint32_t kArenaBytes = 2 * kPageBytes;

class EmulatedSystem {
public:
    // Puts `bios` (64 KiB) at physical 0xF0000 and maps the first megabyte
    // one to one, present, writable and user-accessible, as the system VM's
    // V86 memory is. The BIOS bytes are readable at linear 0xF0000 of this
    // process for as long as the system lives; `error` says when that
    // address cannot be had.
    EmulatedSystem(std::span<const uint8_t> bios, std::string& error);
    ~EmulatedSystem();
    EmulatedSystem(const EmulatedSystem&) = delete;
    EmulatedSystem& operator=(const EmulatedSystem&) = delete;

    EmulatedCpu cpu;
    // Page table entries of linear pages 0..0x10F, as _CopyPageTable answers.
    std::array<uint32_t, kFirstMegabytePages> pageTable{};
    // Entries of the process's pages elsewhere (absent: not present). The
    // arena buffer's two pages start present, writable and user pages.
    std::map<uint32_t, uint32_t> processPages;
    // The arena buffer (kArenaBuffer, kArenaBytes), or nullptr.
    uint8_t* arena = nullptr;

    // What the device asked of the system.
    std::vector<uint32_t> serviceCalls;  // service numbers, in order
    uint32_t cpuidCount = 0;
    uint32_t msrReads = 0;
    // Whatever a real system would not have survived or served: an unknown
    // service, RDMSR where it faults, a port instruction, a bad argument.
    std::vector<std::string> violations;

    // The bytes a ring-3 read of [address, address + size) sees, or empty
    // when a page of it is not present or not a user page.
    std::span<const uint8_t> UserRead(uint32_t address, uint32_t size) const;

    // Services, called by the trap handler with the stack the device left.
    uint32_t CallService(uint32_t service, const uint32_t* arguments);

private:
    void* window_ = nullptr;
    void* arena_ = nullptr;
};

}  // namespace vc::vxd
