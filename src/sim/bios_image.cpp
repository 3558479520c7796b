#include "sim/bios_image.h"

#include <algorithm>

namespace vc::sim {

BiosImage::BiosImage(const BiosDescription& description)
    : bytes_(kBiosWindowSize, description.fill) {
    for (const auto& s : description.strings) {
        // The loader keeps every string inside the window; clip all the same.
        for (size_t i = 0; i < s.text.size() && s.offset + i < kBiosWindowSize; ++i) {
            bytes_[s.offset + i] = static_cast<uint8_t>(s.text[i]);
        }
    }
}

bool BiosImage::FoundInSearchArea(std::string_view text) const {
    const auto first = bytes_.begin() + kBiosSearchStart;
    const auto hit = std::search(first, bytes_.end(), text.begin(), text.end(),
                                 [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); });
    return text.empty() || hit != bytes_.end();
}

}  // namespace vc::sim
