#include "loaded_device.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "core/base/little_endian.h"
#include "le_reader.h"
#include "vxd_ddb.h"

// Calls `entry` with EAX = message and ESI = params, the trap flag set, and
// known values in EBX, ECX, EDX and EDI. Writes the flags after the call to
// *flags, with bit 31 (always zero in EFLAGS) set when EBX, ECX, EDX, ESI
// and EDI came back unchanged.
extern "C" uint32_t vc_vxd_call(uint32_t entry, uint32_t message, uint32_t params, uint32_t* flags);
extern "C" uint32_t vc_vxd_entry;
uint32_t vc_vxd_entry = 0;
asm(R"(
    .text
    .globl _vc_vxd_call
_vc_vxd_call:
    pushl %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 20(%esp), %eax
    movl %eax, _vc_vxd_entry
    movl 24(%esp), %eax
    movl 28(%esp), %esi
    movl $0x0B0B0B0B, %ebx
    movl $0x0C0C0C0C, %ecx
    movl $0x0D0D0D0D, %edx
    movl $0x0E0E0E0E, %edi
    pushfl
    orl $0x100, (%esp)
    popfl
    call *_vc_vxd_entry
    pushfl
    andl $0xFFFFFEFF, (%esp)
    popfl
    pushfl
    popl %ebp
    cmpl $0x0B0B0B0B, %ebx
    jne 1f
    cmpl $0x0C0C0C0C, %ecx
    jne 1f
    cmpl $0x0D0D0D0D, %edx
    jne 1f
    cmpl $0x0E0E0E0E, %edi
    jne 1f
    cmpl 28(%esp), %esi
    jne 1f
    orl $0x80000000, %ebp
1:  movl 32(%esp), %ecx
    movl %ebp, (%ecx)
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace vc::vxd {

namespace {

constexpr uint32_t kTrapFlag = 0x100;
constexpr uint32_t kCarryFlag = 0x001;
constexpr uint32_t kIdFlag = 0x200000;
constexpr uint32_t kRegistersKept = 0x80000000;
constexpr uint32_t kConfigWordMsr = 0x2A;
constexpr uint32_t kClobbered = 0xDEADDEAD;  // what a service leaves in ECX and EDX

// The device being run, for the trap handler.
struct Running {
    EmulatedSystem* system = nullptr;
    std::vector<std::pair<uintptr_t, uintptr_t>> ranges;  // the device's objects
    uintptr_t last = 0;                                    // the instruction that just ran

    bool Inside(uintptr_t address) const {
        return std::any_of(ranges.begin(), ranges.end(),
                           [&](const auto& r) { return address >= r.first && address < r.second; });
    }
};
Running running;

void Violation(const char* format, uint32_t value) {
    char text[96];
    std::snprintf(text, sizeof text, format, value);
    running.system->violations.push_back(text);
}

// Answers the instruction at EIP when it is one the system answers; false
// when the processor may run it.
bool Emulate(CONTEXT& c) {
    EmulatedSystem& system = *running.system;
    const auto* ip = reinterpret_cast<const uint8_t*>(uintptr_t{c.Eip});
    if (ip[0] == 0x0F && ip[1] == 0xA2) {  // CPUID
        ++system.cpuidCount;
        const auto found = system.cpu.leaves.find(c.Eax);
        const CpuidRegs r = found == system.cpu.leaves.end() ? CpuidRegs{} : found->second;
        if (!system.cpu.hasCpuid) Violation("CPUID on a processor without it (leaf %u)", c.Eax);
        c.Eax = r.eax;
        c.Ebx = r.ebx;
        c.Ecx = r.ecx;
        c.Edx = r.edx;
        c.Eip += 2;
        return true;
    }
    if (ip[0] == 0x0F && (ip[1] == 0x32 || ip[1] == 0x30)) {  // RDMSR, WRMSR
        ++system.msrReads;
        if (ip[1] == 0x30) Violation("WRMSR 0x%X", c.Ecx);
        else if (c.Ecx != kConfigWordMsr || !system.cpu.configWord) Violation("RDMSR 0x%X, which faults on this processor", c.Ecx);
        c.Eax = ip[1] == 0x32 && c.Ecx == kConfigWordMsr ? system.cpu.configWord.value_or(0) : 0;
        c.Edx = 0;
        c.Eip += 2;
        return true;
    }
    if (ip[0] == 0xCD) {  // INT n: 20h is a system service, the rest have no place here
        if (ip[1] != 0x20) {
            Violation("INT 0x%02X", ip[1]);
            c.Eip += 2;
            return true;
        }
        const uint32_t service = GetLe32(std::span<const uint8_t>(ip + 2, 4), 0);
        // After the system's patch the service is called: its arguments are
        // where the stack points now.
        c.Eax = system.CallService(service, reinterpret_cast<const uint32_t*>(uintptr_t{c.Esp}));
        c.Ecx = c.Edx = kClobbered;
        c.Eip += 6;
        return true;
    }
    const size_t prefix = ip[0] == 0x66 ? 1 : 0;  // operand size
    const uint8_t op = ip[prefix];
    if ((op >= 0xE4 && op <= 0xE7) || (op >= 0xEC && op <= 0xEF) || (op >= 0x6C && op <= 0x6F)) {
        Violation("port instruction 0x%02X", op);
        c.Eip += static_cast<DWORD>(prefix + (op >= 0xE4 && op <= 0xE7 ? 2 : 1));
        return true;
    }
    return false;
}

LONG CALLBACK Trap(EXCEPTION_POINTERS* info) {
    if (!running.system) return EXCEPTION_CONTINUE_SEARCH;
    CONTEXT& c = *info->ContextRecord;
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (!running.Inside(c.Eip)) {
        if (code != EXCEPTION_SINGLE_STEP) return EXCEPTION_CONTINUE_SEARCH;
        c.EFlags &= ~kTrapFlag;  // back in the harness
        running.last = 0;
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    if (code != EXCEPTION_SINGLE_STEP) return EXCEPTION_CONTINUE_SEARCH;  // the device itself faulted
    // A processor without CPUID keeps the identification flag as it was.
    if (running.last && *reinterpret_cast<const uint8_t*>(running.last) == 0x9D /* POPFD */ &&
        !running.system->cpu.hasCpuid)
        c.EFlags &= ~kIdFlag;
    while (running.Inside(c.Eip) && Emulate(c)) {
    }
    c.EFlags |= kTrapFlag;
    running.last = c.Eip;
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

std::unique_ptr<LoadedDevice> LoadedDevice::Load(std::span<const uint8_t> file, EmulatedSystem& system,
                                                 std::string& error) {
    const le::ReadResult read = le::ReadLe(file);
    if (!read.ok()) {
        error = read.error;
        return nullptr;
    }
    std::unique_ptr<LoadedDevice> device(new LoadedDevice(system));
    for (const le::Object& o : read.module.objects) {
        const uint32_t size = (o.virtualSize + kPageBytes - 1) / kPageBytes * kPageBytes;
        auto* base = static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE));
        if (!base) {
            error = "no memory for an object";
            return nullptr;
        }
        std::copy(o.bytes.begin(), o.bytes.end(), base);
        device->objects.push_back(base);
        device->sizes_.push_back(size);
    }
    for (size_t i = 0; i < read.module.objects.size(); ++i)
        for (const le::Fixup& f : read.module.objects[i].fixups)
            PutLe32(std::span<uint8_t>(device->objects[i], device->sizes_[i]), f.sourceOffset,
                    static_cast<uint32_t>(reinterpret_cast<uintptr_t>(device->objects[f.targetObject - 1])) + f.targetOffset);
    const le::Export& d = read.module.descriptor;
    device->descriptor = device->objects[d.object - 1] + d.offset;
    device->controlProc = GetLe32(std::span<const uint8_t>(device->descriptor, le::ddb::kSize), le::ddb::kControlProc);
    return device;
}

LoadedDevice::~LoadedDevice() {
    for (uint8_t* base : objects) VirtualFree(base, 0, MEM_RELEASE);
}

ControlResult LoadedDevice::Control(uint32_t message, VxdDiocParams* params) {
    static const PVOID handler = AddVectoredExceptionHandler(1, Trap);
    (void)handler;
    running.system = &system_;
    running.ranges.clear();
    for (size_t i = 0; i < objects.size(); ++i)
        running.ranges.emplace_back(reinterpret_cast<uintptr_t>(objects[i]), reinterpret_cast<uintptr_t>(objects[i]) + sizes_[i]);
    running.last = 0;
    uint32_t flags = 0;
    ControlResult result;
    result.eax = vc_vxd_call(controlProc, message, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(params)), &flags);
    running.system = nullptr;
    result.carry = (flags & kCarryFlag) != 0;
    result.registersKept = (flags & kRegistersKept) != 0;
    return result;
}

ControlResult LoadedDevice::IoControl(uint32_t code, void* output, uint32_t outputSize, uint32_t* bytesReturned) {
    VxdDiocParams p{};
    p.vmHandle = 0x00C0FFEE;
    p.ioControlCode = code;
    p.outBuffer = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(output));
    p.outSize = outputSize;
    p.bytesReturned = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bytesReturned));
    p.device = 1;
    return Control(VXD_W32_DEVICEIOCONTROL, &p);
}

}  // namespace vc::vxd
