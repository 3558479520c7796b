#include "core/hw/bios_window.h"

#include <algorithm>
#include <functional>

#include "core/base/text_field.h"

namespace vc {

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

}  // namespace vc
