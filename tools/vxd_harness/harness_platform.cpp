#include "harness_platform.h"

#include <algorithm>

#include "core/base/little_endian.h"
#include "core/hw/bios_window.h"
#include "core/hw/hw_driver.h"
#include "vxd_ddb.h"

namespace vc::vxd {

HarnessPlatform::HarnessPlatform(Platform& board, EmulatedSystem& system, std::vector<uint8_t> deviceFile)
    : board_(board), system_(system), file_(std::move(deviceFile)) {}

namespace {

// "\\.\NAME.VXD" -> "NAME": what VWIN32 hands the loader, and what the
// dynamic unload at close matches against the descriptor's name, byte for
// byte (the match is case-sensitive).
std::string ModuleName(const std::string& path) {
    const std::string prefix = "\\\\.\\";
    if (path.rfind(prefix, 0) != 0) return {};
    const size_t dot = path.find('.', prefix.size());
    return path.substr(prefix.size(), dot == std::string::npos ? std::string::npos : dot - prefix.size());
}

}  // namespace

DeviceHandle HarnessPlatform::OpenDevice(const std::string& name, DeviceOpenMode mode) {
    if (mode != DeviceOpenMode::Win9xDynamic) return kNoDevice;
    std::string error;
    auto device = LoadedDevice::Load(file_, system_, error);
    if (!device) {
        lifecycleFaults.push_back("load: " + error);
        return kNoDevice;
    }
    const std::string ddbName(reinterpret_cast<const char*>(device->descriptor) + le::ddb::kName, le::ddb::kNameLength);
    if (ddbName != (ModuleName(name) + "        ").substr(0, 8)) {
        lifecycleFaults.push_back("opened as '" + name + "', the descriptor names '" + ddbName +
                                  "': the unload at close would not find it");
        return kNoDevice;
    }
    ++loads;
    if (device->Control(VXD_SYS_DYNAMIC_DEVICE_INIT).carry) {
        lifecycleFaults.push_back("Sys_Dynamic_Device_Init failed");
        return kNoDevice;
    }
    VxdDiocParams open{};
    open.ioControlCode = VXD_DIOC_OPEN;
    if (device->Control(VXD_W32_DEVICEIOCONTROL, &open).eax != 0) {
        lifecycleFaults.push_back("DIOC_OPEN failed");
        device->Control(VXD_SYS_DYNAMIC_DEVICE_EXIT);
        return kNoDevice;
    }
    const DeviceHandle handle = next_++;
    open_[handle] = std::move(device);
    return handle;
}

void HarnessPlatform::CloseDevice(DeviceHandle handle) {
    const auto found = open_.find(handle);
    if (found == open_.end()) return;
    VxdDiocParams close{};
    close.ioControlCode = VXD_DIOC_CLOSEHANDLE;
    if (found->second->Control(VXD_W32_DEVICEIOCONTROL, &close).eax != 0) lifecycleFaults.push_back("DIOC_CLOSEHANDLE failed");
    if (found->second->Control(VXD_SYS_DYNAMIC_DEVICE_EXIT).carry) lifecycleFaults.push_back("Sys_Dynamic_Device_Exit failed");
    open_.erase(found);  // the objects go: nothing the program keeps may point into them
}

bool HarnessPlatform::DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) {
    const auto found = open_.find(handle);
    if (found == open_.end() || !request.input.empty()) return false;
    ++requests;
    // The program's buffer and byte count, where a Win32 program's memory is:
    // in the arena buffer, copied back after the call.
    if (request.output.size() + 4 > kArenaBytes) return false;
    std::fill(system_.arena, system_.arena + kArenaBytes, uint8_t{0});
    auto* returned = reinterpret_cast<uint32_t*>(system_.arena + kArenaBytes - 4);
    const ControlResult r = found->second->IoControl(request.code, system_.arena,
                                                     static_cast<uint32_t>(request.output.size()), returned);
    std::copy_n(system_.arena, request.output.size(), request.output.begin());
    const bool ok = r.eax == 0 && !r.carry;
    if (ok && request.code == kReq9xBiosWindow && request.output.size() >= 4) windows_.insert(GetLe32(request.output, 0));
    return ok;
}

std::span<const uint8_t> HarnessPlatform::ResolveBiosWindow(uint32_t address) {
    if (windows_.count(address) == 0) return {};
    return system_.UserRead(address, kBiosWindowEnd);
}

}  // namespace vc::vxd
