// The BIOS image: a 64 KiB window (offsets 0x0000-0xFFFF) holding the
// board's identification string.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sim/machine_description.h"

namespace vc::sim {

inline constexpr uint32_t kBiosWindowSize = 0x10000;

class BiosImage {
public:
    explicit BiosImage(const BiosDescription& description);

    std::span<const uint8_t> bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace vc::sim
