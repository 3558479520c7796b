// The driver and port half of the host machine, until the kernel interfaces
// exist: a platform that is neither Windows family, no driver to open, no
// port access (reads float high, writes go nowhere) and no BIOS window.
#include "host/host_machine.h"

namespace vc {

OsVersion HostPlatform::GetOsVersion() { return OsVersion{}; }

DeviceHandle HostPlatform::OpenDevice(const std::string&, DeviceOpenMode) { return kNoDevice; }

void HostPlatform::CloseDevice(DeviceHandle) {}

bool HostPlatform::DeviceIoControl(DeviceHandle, const DeviceRequest&) { return false; }

std::span<const uint8_t> HostPlatform::ResolveBiosWindow(uint32_t) { return {}; }

uint8_t HostPlatform::InPort8(uint16_t) { return 0xFF; }

void HostPlatform::OutPort8(uint16_t, uint8_t) {}

uint32_t HostPlatform::InPort32(uint16_t) { return 0xFFFFFFFFu; }

void HostPlatform::OutPort32(uint16_t, uint32_t) {}

}  // namespace vc
