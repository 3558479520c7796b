#include "sim/bios_image.h"

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

}  // namespace vc::sim
