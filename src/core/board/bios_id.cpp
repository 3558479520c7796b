#include "core/board/bios_id.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

#include "core/board/text_field.h"
#include "core/hw/hw_driver.h"

namespace vc {
namespace {

bool DriverFindsBiosId(SystemInfo& info, Context& ctx, const char (&biosId)[16]) {
    // The string and its terminator; the bytes after it are zero.
    std::array<uint8_t, kTextFieldSize> input{};
    std::memcpy(input.data(), biosId, std::min<size_t>(FieldLength(biosId) + 1, kTextFieldSize));
    DeviceRequest request;
    request.code = kReqNtBiosFind;
    request.input = input;
    return ctx.machine.DeviceIoControl(info.driverHandle, request);
}

}  // namespace

bool BiosWindowHolds(std::span<const uint8_t> window, const char (&biosId)[16]) {
    const size_t end = std::min(window.size(), kBiosWindowEnd);
    if (end <= kBiosSearchFirst) return false;
    const size_t length = FieldLength(biosId);
    const auto* needle = reinterpret_cast<const uint8_t*>(biosId);
    const auto area = window.subspan(kBiosSearchFirst, end - kBiosSearchFirst);
    const auto hit = std::search(area.begin(), area.end(),
                                 std::boyer_moore_horspool_searcher(needle, needle + length));
    if (hit == area.end()) return false;
    // Only the start offsets up to 0xFFFE are tried; a longer match always
    // starts below that, a one-byte string at 0xFFFF does not count.
    return kBiosSearchFirst + static_cast<size_t>(hit - area.begin()) <= kBiosSearchLast;
}

bool BiosIdFound(SystemInfo& info, Context& ctx, const char (&biosId)[16]) {
    switch (ctx.osKind) {
        case kOsWin9x:
            return BiosWindowHolds(ctx.machine.ResolveBiosWindow(info.biosWindow), biosId);
        case kOsNt4:
        case kOsWin2000:
            return DriverFindsBiosId(info, ctx, biosId);
        default:
            return false;
    }
}

}  // namespace vc
