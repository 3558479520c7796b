#include "emulated_system.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "driver/win9x/vxd_system.h"

namespace vc::vxd {

EmulatedSystem::EmulatedSystem(std::span<const uint8_t> bios, std::string& error) {
    for (uint32_t page = 0; page < kFirstMegabytePages; ++page)
        pageTable[page] = page << VXD_PAGE_SHIFT | VXD_PTE_PRESENT | VXD_PTE_WRITABLE | VXD_PTE_USER;
    window_ = VirtualAlloc(reinterpret_cast<void*>(uintptr_t{kBiosPhysical}), kBiosBytes, MEM_RESERVE | MEM_COMMIT,
                           PAGE_READWRITE);
    if (window_ != reinterpret_cast<void*>(uintptr_t{kBiosPhysical}) || bios.size() != kBiosBytes) {
        error = "linear 0xF0000 cannot hold the BIOS image in this process";
        return;
    }
    std::copy(bios.begin(), bios.end(), static_cast<uint8_t*>(window_));
    DWORD old = 0;
    VirtualProtect(window_, kBiosBytes, PAGE_READONLY, &old);  // ROM
    arena_ = VirtualAlloc(reinterpret_cast<void*>(uintptr_t{kArenaBuffer}), kArenaBytes, MEM_RESERVE | MEM_COMMIT,
                          PAGE_READWRITE);
    if (arena_ != reinterpret_cast<void*>(uintptr_t{kArenaBuffer})) {
        error = "linear 0x20000000 cannot hold the process's buffers in this process";
        return;
    }
    arena = static_cast<uint8_t*>(arena_);
    for (uint32_t page = kArenaBuffer / kPageBytes; page < (kArenaBuffer + kArenaBytes) / kPageBytes; ++page)
        processPages[page] = page << VXD_PAGE_SHIFT | VXD_PTE_PRESENT | VXD_PTE_WRITABLE | VXD_PTE_USER;
}

EmulatedSystem::~EmulatedSystem() {
    if (window_) VirtualFree(window_, 0, MEM_RELEASE);
    if (arena_) VirtualFree(arena_, 0, MEM_RELEASE);
}

std::span<const uint8_t> EmulatedSystem::UserRead(uint32_t address, uint32_t size) const {
    if (size == 0 || address < kBiosPhysical || address - kBiosPhysical > kBiosBytes - size || !window_) return {};
    for (uint32_t page = address / kPageBytes; page <= (address + size - 1) / kPageBytes; ++page) {
        const uint32_t entry = pageTable[page];
        if ((entry & (VXD_PTE_PRESENT | VXD_PTE_USER)) != (VXD_PTE_PRESENT | VXD_PTE_USER) ||
            (entry & VXD_PTE_FRAME) != page << VXD_PAGE_SHIFT)
            return {};  // a ring-3 read would fault, or see other memory
    }
    return {reinterpret_cast<const uint8_t*>(uintptr_t{address}), size};
}

uint32_t EmulatedSystem::CallService(uint32_t service, const uint32_t* arguments) {
    serviceCalls.push_back(service);
    if (service == VXD_COPY_PAGE_TABLE) {
        const uint32_t page = arguments[0], count = arguments[1], entries = arguments[2], flags = arguments[3];
        if (flags != 0 || entries == 0) {
            violations.push_back("_CopyPageTable with flags or no buffer");
            return 0;
        }
        if (count == 0 || count > kFirstMegabytePages || page > 0xFFFFF - count + 1) return 0;
        auto* out = reinterpret_cast<uint32_t*>(uintptr_t{entries});
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t at = page + i;
            const auto found = processPages.find(at);
            out[i] = at < kFirstMegabytePages ? pageTable[at] : found == processPages.end() ? 0 : found->second;
        }
        return 1;
    }
    char text[64];
    std::snprintf(text, sizeof text, "unknown service 0x%08X", service);
    violations.push_back(text);
    return 0;
}

}  // namespace vc::vxd
