#include "core/hw/driver_requests_path.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/base/little_endian.h"
#include "core/cpu/cpu_info.h"
#include "core/hw/hw_driver.h"
#include "core/hw/probe_report.h"
#include "core/hw/smbus_write_request.h"

namespace vc {

namespace {

uint32_t SmbusRequestCode(SmbusVariant variant) {
    switch (variant) {
        case SmbusVariant::Ics9248: return kReqNtIcs9248;
        case SmbusVariant::Rtm560: return kReqNtRtm560;
        case SmbusVariant::BlockBuffered:
        case SmbusVariant::BlockByteWise: break;
    }
    return kReqNtSmbusBlockWrite;
}

}  // namespace

BusResult DriverRequestsPath::OpenForBios() {
    handle_ = platform_.OpenDevice(kNtDriverName, DeviceOpenMode::NtShared);
    if (handle_ == kNoDevice) return {0, BusFault::DriverOpen};
    return {1};
}

bool DriverRequestsPath::BiosHolds(const TextField& biosId) {
    // The string and its terminator; the bytes after it are zero.
    std::array<uint8_t, kTextFieldSize> input{};
    std::memcpy(input.data(), biosId, std::min<size_t>(FieldLength(biosId) + 1, kTextFieldSize));
    DeviceRequest request;
    request.code = kReqNtBiosFind;
    request.input = input;
    return platform_.DeviceIoControl(handle_, request);
}

BusResult DriverRequestsPath::ReadConfigWord(int32_t vendorCode, uint32_t& word) {
    uint32_t code = 0;
    if (vendorCode == kVendorIntel) {
        code = kReqNtIntelRatio;
    } else if (vendorCode == kVendorAmd) {
        code = kReqNtAmdRatio;
    } else {
        // The driver reads the word for these two vendors only; the
        // multiplier decoding rejects every other processor afterwards.
        return {1};
    }
    uint32_t answered = 0;
    if (!RequestWord(platform_, handle_, code, answered)) return {0};
    word = answered;
    return {1};
}

BusResult DriverRequestsPath::ReadPciConfig(uint32_t address, uint32_t& value) {
    std::array<uint8_t, 4> input{};
    std::array<uint8_t, 4> output{};
    PutLe32(input, 0, address);
    DeviceRequest request;
    request.code = kReqNtPciRead;
    request.input = input;
    request.output = output;
    if (!platform_.DeviceIoControl(handle_, request)) return {0, BusFault::PciRequest};
    value = GetLe32(output, 0);
    return {1};
}

BusResult DriverRequestsPath::WriteSmbus(SmbusVariant variant, const SmbusAccess& access,
                                         std::span<const uint8_t> data) {
    const auto input = EncodeSmbusWriteRequest(access, static_cast<int32_t>(data.size()));
    std::array<uint8_t, kSmbusWriteRequestSize> output{};  // the driver's answer is not used
    DeviceRequest request;
    request.code = SmbusRequestCode(variant);
    request.input = input;
    request.output = output;
    request.referenced = data;
    if (!platform_.DeviceIoControl(handle_, request)) return {0, BusFault::SmbusRequest};
    return {1};
}

// The NT driver has no read request; the Linux helper's probe report
// carries a block read of the clock generator, so the read-back is there
// when the driver serves the probe and absent otherwise.
std::optional<std::vector<uint8_t>> DriverRequestsPath::ReadClockGenBlock(const SmbusAccess& access) {
    std::string text;
    if (!RequestProbe(platform_, handle_, text, /*readChip=*/true)) return std::nullopt;
    for (const ProbeClockGen& clockGen : ParseProbeReport(text).clockGens) {
        if (clockGen.controller == static_cast<uint16_t>(access.ioBase) && clockGen.answers) return clockGen.readBack;
    }
    return std::nullopt;
}

}  // namespace vc
