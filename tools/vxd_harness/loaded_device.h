// A virtual device loaded the way the 9x loader does it: the LE file read
// and validated by le_format's reader, each object placed in memory, every
// internal fixup applied, and the control procedure found through the
// descriptor block exported by ordinal 1. Calls into the device run with
// the trap flag set: before each of its instructions the harness looks at
// it, answers CPUID, RDMSR and int 20h from the EmulatedSystem, refuses
// port instructions, and lets everything else run.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "driver/win9x/vxd_system.h"
#include "emulated_system.h"

namespace vc::vxd {

struct ControlResult {
    uint32_t eax = 0;
    bool carry = false;
    bool registersKept = false;  // EBX, ECX, EDX, ESI, EDI as they were
};

class LoadedDevice {
public:
    // Nullptr with `error` when the reader refuses the file.
    static std::unique_ptr<LoadedDevice> Load(std::span<const uint8_t> file, EmulatedSystem& system, std::string& error);
    ~LoadedDevice();
    LoadedDevice(const LoadedDevice&) = delete;
    LoadedDevice& operator=(const LoadedDevice&) = delete;

    ControlResult Control(uint32_t message, VxdDiocParams* params = nullptr);
    // W32_DEVICEIOCONTROL with the given output buffer; the error code (0 = success).
    ControlResult IoControl(uint32_t code, void* output, uint32_t outputSize, uint32_t* bytesReturned);

    // Where the objects were placed, the descriptor block, its name field.
    std::vector<uint8_t*> objects;
    uint8_t* descriptor = nullptr;

private:
    LoadedDevice(EmulatedSystem& system) : system_(system) {}
    EmulatedSystem& system_;
    std::vector<uint32_t> sizes_;
    uint32_t controlProc = 0;
};

}  // namespace vc::vxd
