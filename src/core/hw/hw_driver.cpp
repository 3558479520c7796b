#include "core/hw/hw_driver.h"

#include <array>

#include "core/hw/little_endian.h"

namespace vc {

namespace {

constexpr uint32_t kNtMajorWin2000 = 5;
constexpr uint32_t kNtMajorNt4 = 4;

// Sends one request without input that answers with a 32-bit word.
bool RequestWord(Machine& machine, DeviceHandle handle, uint32_t code, uint32_t& word) {
    std::array<uint8_t, 4> output{};
    DeviceRequest request;
    request.code = code;
    request.output = output;
    const bool ok = machine.DeviceIoControl(handle, request);
    word = GetLe32(output, 0);
    return ok;
}

uint32_t Win9xRatioRequest(int32_t vendorCode) {
    switch (vendorCode) {
        case kVendorIntel: return kReq9xIntelRatio;
        case kVendorAmd: return kReq9xAmdRatio;
        default: return kReq9xOtherRatio;
    }
}

int32_t ScanAddressInfoWin9x(SystemInfo& info, Context& ctx) {
    Machine& machine = ctx.machine;
    const DeviceHandle handle = machine.OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xPerRequest);
    if (handle == kNoDevice) return 0;
    // The word is kept whatever the driver answered; the result decides.
    const bool ok = RequestWord(machine, handle, Win9xRatioRequest(info.cpu.vendorCode), info.addressInfo);
    machine.CloseDevice(handle);
    return ok ? 1 : 0;
}

int32_t ScanAddressInfoNt(SystemInfo& info, Context& ctx) {
    uint32_t code = 0;
    if (info.cpu.vendorCode == kVendorIntel) {
        code = kReqNtIntelRatio;
    } else if (info.cpu.vendorCode == kVendorAmd) {
        code = kReqNtAmdRatio;
    } else {
        // The NT driver reads the word for these two vendors only; the
        // multiplier decoding rejects every other processor afterwards.
        return 1;
    }
    uint32_t word = 0;
    if (!RequestWord(ctx.machine, info.driverHandle, code, word)) return 0;
    info.addressInfo = word;
    return 1;
}

}  // namespace

int32_t OsKindFromVersion(const OsVersion& version) {
    if (version.platformId == kPlatformWin9x) return kOsWin9x;
    if (version.platformId == kPlatformNt) {
        if (version.majorVersion == kNtMajorWin2000) return kOsWin2000;
        if (version.majorVersion == kNtMajorNt4) return kOsNt4;
    }
    return kOsOther;
}

int32_t OpenDriverForBios(SystemInfo& info, Context& ctx) {
    Machine& machine = ctx.machine;
    switch (ctx.osKind) {
        case kOsWin9x: {
            const DeviceHandle handle =
                machine.OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xPerRequest);
            if (handle == kNoDevice) return 0;
            uint32_t window = 0;
            // A failed request leaves no window, so no BIOS string can be
            // found in it, whatever the driver left in the output buffer.
            if (!RequestWord(machine, handle, kReq9xBiosWindow, window)) window = 0;
            info.biosWindow = window;
            machine.CloseDevice(handle);
            return 1;
        }
        case kOsNt4:
        case kOsWin2000: {
            info.driverHandle = machine.OpenDevice(kNtDriverName, DeviceOpenMode::NtShared);
            if (info.driverHandle == kNoDevice) {
                ctx.shell.ShowMessage(kCaptionMessage, ctx.osKind == kOsNt4
                                                           ? "Failed to open Velocore WinNT driver\n"
                                                           : "Failed to open Velocore Win2000 driver\n");
                ctx.shell.EndProcess(1);
            }
            return 1;
        }
        default:
            // Nothing to open; no board can be recognised on such a system.
            return 1;
    }
}

int32_t ScanAddressInfo(SystemInfo& info, Context& ctx) {
    switch (ctx.osKind) {
        case kOsWin9x: return ScanAddressInfoWin9x(info, ctx);
        case kOsNt4:
        case kOsWin2000: return ScanAddressInfoNt(info, ctx);
        default: return 1;
    }
}

}  // namespace vc
