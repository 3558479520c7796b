// The BIOS image: a 64 KiB window (offsets 0x0000-0xFFFF) holding the
// board's identification string.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "sim/machine_description.h"

namespace vc::sim {

inline constexpr uint32_t kBiosWindowSize = 0x10000;
// The area the driver searches for identification strings.
inline constexpr uint32_t kBiosSearchStart = 0xE000;

class BiosImage {
public:
    explicit BiosImage(const BiosDescription& description);

    std::span<const uint8_t> bytes() const { return bytes_; }
    // Whether `text` lies wholly inside offsets 0xE000-0xFFFF somewhere.
    // The empty text occurs at the first position.
    bool FoundInSearchArea(std::string_view text) const;

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace vc::sim
