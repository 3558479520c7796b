// A strict reader for the picture files, independent of the program's own
// decoder: it accepts only the exact layout the skin is written in (40-byte
// information header, 24 bits, uncompressed, bottom-up, rows padded to 4).
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/base/little_endian.h"

namespace skin_test {

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> rgb;  // 0xRRGGBB, top row first
    uint32_t At(int32_t x, int32_t y) const {
        return rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Empty `error` and a filled picture, or a reason.
inline Picture ReadPicture(const std::string& path, std::string& error) {
    Picture picture;
    const std::vector<uint8_t> b = ReadBytes(path);
    if (b.size() < 54) { error = "shorter than the two headers"; return picture; }
    if (b[0] != 'B' || b[1] != 'M') { error = "no BM signature"; return picture; }
    if (vc::GetLe32(b, 2) != b.size()) { error = "file size field differs from the file"; return picture; }
    if (vc::GetLe32(b, 10) != 54) { error = "pixels do not follow the headers"; return picture; }
    if (vc::GetLe32(b, 14) != 40) { error = "information header is not 40 bytes"; return picture; }
    const auto width = static_cast<int32_t>(vc::GetLe32(b, 18));
    const auto height = static_cast<int32_t>(vc::GetLe32(b, 22));
    if (width <= 0 || height <= 0) { error = "not a positive, bottom-up size"; return picture; }
    if (vc::GetLe<uint16_t>(b, 26) != 1 || vc::GetLe<uint16_t>(b, 28) != 24 || vc::GetLe32(b, 30) != 0) { error = "not 24-bit BI_RGB"; return picture; }
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    if (vc::GetLe32(b, 34) != stride * static_cast<size_t>(height) || b.size() != 54 + stride * static_cast<size_t>(height)) {
        error = "pixel bytes do not match the size";
        return picture;
    }
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        const size_t row = 54 + stride * static_cast<size_t>(height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            const size_t p = row + static_cast<size_t>(x) * 3;
            picture.rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                uint32_t{b[p + 2]} << 16 | uint32_t{b[p + 1]} << 8 | uint32_t{b[p]};
        }
    }
    error.clear();
    return picture;
}

inline std::string ResourcePath(const std::string& name) {
    return std::string(VC_SOURCE_DIR) + "/resources/" + name;
}

inline constexpr uint32_t kKey = 0xFEFEFE;

}  // namespace skin_test
