#include <windows.h>

#include <cstring>
#include <vector>

#include "core/base/little_endian.h"
#include "core/hw/bios_window.h"
#include "core/hw/hw_driver.h"
#include "core/hw/smbus_write_request.h"
#include "host/win32/port_io.h"
#include "host/win32/win32_machine.h"

namespace vc::win32 {

namespace {

OsVersion QueryOsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // the 148-byte record
    if (!GetVersionExA(&info)) return OsVersion{};
    return OsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

HANDLE OpenDriver(const std::string& name, DeviceOpenMode mode) {
    if (mode == DeviceOpenMode::Win9xDynamic)
        return CreateFileA(name.c_str(), 0, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

Win32Platform::Win32Platform()
    : version_(QueryOsVersion()), portsAllowed_(version_.platformId == kPlatformWin9x) {}

Win32Platform::~Win32Platform() {
    for (const auto& [id, device] : devices_) CloseHandle(device.handle);
}

OsVersion Win32Platform::GetOsVersion() { return version_; }

DeviceHandle Win32Platform::OpenDevice(const std::string& name, DeviceOpenMode mode) {
    const HANDLE handle = OpenDriver(name, mode);
    if (handle == INVALID_HANDLE_VALUE) return kNoDevice;
    const DeviceHandle id = nextHandle_++;
    devices_[id] = Device{handle, mode};
    return id;
}

void Win32Platform::CloseDevice(DeviceHandle handle) {
    const auto found = devices_.find(handle);
    if (found == devices_.end()) return;
    CloseHandle(found->second.handle);
    devices_.erase(found);
}

bool Win32Platform::DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) {
    const auto found = devices_.find(handle);
    if (found == devices_.end()) return false;
    // The driver reads a request's referenced bytes from this process's
    // memory, at the address the request names.
    std::vector<uint8_t> input(request.input.begin(), request.input.end());
    if (!request.referenced.empty()) {
        if (input.size() < kDataAddressOffset + 4) return false;
        PutLe32(input, kDataAddressOffset,
                static_cast<uint32_t>(reinterpret_cast<uintptr_t>(request.referenced.data())));
    }
    DWORD returned = 0;
    const bool ok = ::DeviceIoControl(found->second.handle, request.code, input.empty() ? nullptr : input.data(),
                                      static_cast<DWORD>(input.size()),
                                      request.output.empty() ? nullptr : request.output.data(),
                                      static_cast<DWORD>(request.output.size()), &returned, nullptr) != 0;
    if (ok && found->second.mode == DeviceOpenMode::Win9xDynamic && request.code == kReq9xBiosWindow &&
        request.output.size() >= 4)
        biosWindows_.insert(GetLe32(request.output, 0));
    return ok;
}

std::span<const uint8_t> Win32Platform::ResolveBiosWindow(uint32_t address) {
    if (address == 0 || biosWindows_.count(address) == 0) return {};
    // The 9x driver maps the window into every process at this address.
    return {reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(address)), kBiosWindowEnd};
}

uint8_t Win32Platform::InPort8(uint16_t port) { return portsAllowed_ ? PortIn8(port) : 0xFF; }

void Win32Platform::OutPort8(uint16_t port, uint8_t value) {
    if (portsAllowed_) PortOut8(port, value);
}

uint32_t Win32Platform::InPort32(uint16_t port) { return portsAllowed_ ? PortIn32(port) : 0xFFFFFFFFu; }

void Win32Platform::OutPort32(uint16_t port, uint32_t value) {
    if (portsAllowed_) PortOut32(port, value);
}

}  // namespace vc::win32
