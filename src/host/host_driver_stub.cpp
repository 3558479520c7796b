// The driver and port half of the host machine, until the kernel interfaces
// exist: a platform that is neither Windows family, no driver to open, no
// port access (reads float high, writes go nowhere) and no BIOS window.
#include "host/host_machine.h"

namespace vc {

OsVersion HostMachine::GetOsVersion() { return OsVersion{}; }

DeviceHandle HostMachine::OpenDevice(const std::string&, DeviceOpenMode) { return kNoDevice; }

void HostMachine::CloseDevice(DeviceHandle) {}

bool HostMachine::DeviceIoControl(DeviceHandle, const DeviceRequest&) { return false; }

std::span<const uint8_t> HostMachine::ResolveBiosWindow(uint32_t) { return {}; }

uint8_t HostMachine::InPort8(uint16_t) { return 0xFF; }

void HostMachine::OutPort8(uint16_t, uint8_t) {}

uint32_t HostMachine::InPort32(uint16_t) { return 0xFFFFFFFFu; }

void HostMachine::OutPort32(uint16_t, uint32_t) {}

}  // namespace vc
