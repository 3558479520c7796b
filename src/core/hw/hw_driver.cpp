#include "core/hw/hw_driver.h"

#include <algorithm>
#include <array>

#include "core/base/context.h"
#include "core/base/little_endian.h"

namespace vc {

namespace {
constexpr uint32_t kNtMajorWin2000 = 5;
constexpr uint32_t kNtMajorNt4 = 4;
}  // namespace

int32_t OsKindFromVersion(const OsVersion& version) {
    if (version.platformId == kPlatformWin9x) return kOsWin9x;
    if (version.platformId == kPlatformNt) {
        if (version.majorVersion == kNtMajorWin2000) return kOsWin2000;
        if (version.majorVersion == kNtMajorNt4) return kOsNt4;
    }
    return kOsOther;
}

bool RequestProbe(Platform& platform, DeviceHandle handle, std::string& report, bool readChip) {
    std::array<uint8_t, kProbeReportMax> output{};
    std::array<uint8_t, 4> flags{};
    PutLe32(flags, 0, readChip ? kProbeReadChip : 0);
    DeviceRequest request;
    request.code = kReqProbe;
    request.output = output;
    if (readChip) request.input = flags;
    if (!platform.DeviceIoControl(handle, request)) return false;
    // Text up to the first zero byte (the answer may be shorter than asked).
    const auto end = std::find(output.begin(), output.end(), uint8_t{0});
    report.assign(output.begin(), end);
    return true;
}

bool RequestWord(Platform& platform, DeviceHandle handle, uint32_t code, uint32_t& word) {
    std::array<uint8_t, 4> output{};
    DeviceRequest request;
    request.code = code;
    request.output = output;
    const bool ok = platform.DeviceIoControl(handle, request);
    word = GetLe32(output, 0);
    return ok;
}

}  // namespace vc
