#include "harness_platform.h"

#include "core/base/little_endian.h"
#include "core/hw/bios_window.h"
#include "core/hw/hw_driver.h"

namespace vc::vxd {

HarnessPlatform::HarnessPlatform(Platform& board, EmulatedSystem& system, std::vector<uint8_t> deviceFile)
    : board_(board), system_(system), file_(std::move(deviceFile)) {}

DeviceHandle HarnessPlatform::OpenDevice(const std::string& name, DeviceOpenMode mode) {
    if (name != kWin9xDriverName || mode != DeviceOpenMode::Win9xPerRequest) return kNoDevice;
    std::string error;
    auto device = LoadedDevice::Load(file_, system_, error);
    if (!device) {
        lifecycleFaults.push_back("load: " + error);
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
    uint32_t returned = 0;
    const ControlResult r = found->second->IoControl(request.code, request.output.data(),
                                                     static_cast<uint32_t>(request.output.size()), &returned);
    const bool ok = r.eax == 0 && !r.carry;
    if (ok && request.code == kReq9xBiosWindow && request.output.size() >= 4) windows_.insert(GetLe32(request.output, 0));
    return ok;
}

std::span<const uint8_t> HarnessPlatform::ResolveBiosWindow(uint32_t address) {
    if (windows_.count(address) == 0) return {};
    return system_.UserRead(address, kBiosWindowEnd);
}

}  // namespace vc::vxd
