// Pictures and bitmap files built inside the tests.
#pragma once

#include <cstdint>
#include <vector>

#include "core/base/little_endian.h"
#include "core/ui/surface.h"

namespace vc::ui::test {

// Every pixel different: red = x, green = y, blue = a mix of both.
inline Surface PatternSurface(int32_t width, int32_t height) {
    Surface s(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            s.Set(x, y, Rgb(static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                            static_cast<uint8_t>(x * 7 + y * 13 + 1)));
        }
    }
    return s;
}

// A bitmap file written independently of the codec under test.
inline std::vector<uint8_t> BuildBmp(const Surface& s, int bits, bool topDown, uint32_t infoSize = 40) {
    const size_t bpp = static_cast<size_t>(bits) / 8;
    const size_t stride = (static_cast<size_t>(s.Width()) * bpp + 3) / 4 * 4;
    const uint32_t offset = 14 + infoSize;
    std::vector<uint8_t> b(offset + stride * static_cast<size_t>(s.Height()), 0);
    b.at(0) = 'B';
    b.at(1) = 'M';
    PutLe32(b, 2, static_cast<uint32_t>(b.size()));
    PutLe32(b, 10, offset);
    PutLe32(b, 14, infoSize);
    PutLe32(b, 18, static_cast<uint32_t>(s.Width()));
    PutLe32(b, 22, static_cast<uint32_t>(topDown ? -s.Height() : s.Height()));
    b[26] = 1;
    b[28] = static_cast<uint8_t>(bits);
    for (int32_t y = 0; y < s.Height(); ++y) {
        const size_t row = static_cast<size_t>(topDown ? y : s.Height() - 1 - y);
        for (int32_t x = 0; x < s.Width(); ++x) {
            uint8_t* p = &b[offset + row * stride + static_cast<size_t>(x) * bpp];
            const Pixel px = s.At(x, y);
            p[0] = BlueOf(px);
            p[1] = GreenOf(px);
            p[2] = RedOf(px);
            if (bpp == 4) p[3] = 0xFF;
        }
    }
    return b;
}

}  // namespace vc::ui::test
