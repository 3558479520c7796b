// The icon file as a Windows shell reads it back: directory, header,
// palette, 4-bit colour rows and the transparency mask, both bottom-up.
#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/base/little_endian.h"
#include "ico_writer.h"

namespace vc::tools {
namespace {

using ui::Rgb;

// The colour an icon image shows at (x, y), or nullopt when masked.
std::optional<ui::Pixel> ShownAt(std::span<const uint8_t> ico, int image, int side, int x, int y) {
    const uint32_t offset = GetLe32(ico, 6 + 16 * static_cast<size_t>(image) + 12);
    const auto header = ico.subspan(offset);
    const uint32_t colourRow = static_cast<uint32_t>((side * 4 + 31) / 32 * 4);
    const uint32_t maskRow = static_cast<uint32_t>((side + 31) / 32 * 4);
    const auto palette = header.subspan(GetLe32(header, 0));
    const auto colours = palette.subspan(16 * 4);
    const auto mask = colours.subspan(colourRow * static_cast<uint32_t>(side));
    const auto row = static_cast<uint32_t>(side - 1 - y);
    if (mask[row * maskRow + static_cast<uint32_t>(x) / 8] & (0x80u >> (x % 8))) return std::nullopt;
    const uint8_t both = colours[row * colourRow + static_cast<uint32_t>(x) / 2];
    const uint8_t index = x % 2 ? both & 0x0F : both >> 4;
    const auto quad = palette.subspan(static_cast<size_t>(index) * 4, 4);
    return Rgb(quad[2], quad[1], quad[0]);
}

TEST(IcoWriter, ImagesReadBackWithTheirColoursAndTransparency) {
    ui::Surface small(16, 16, Rgb(10, 20, 30));
    small.Set(0, 0, Rgb(200, 0, 0));     // top-left: the last row in the file
    small.Set(15, 15, ui::kColourKey);  // bottom-right: masked
    small.Set(3, 7, Rgb(0, 0, 0));
    ui::Surface large(32, 32, ui::kColourKey);
    large.Set(31, 0, Rgb(1, 2, 3));
    std::string error;
    const std::vector<uint8_t> ico = EncodeIco({small, large}, error);
    ASSERT_FALSE(ico.empty()) << error;

    EXPECT_EQ(GetLe<uint16_t>(ico, 2), 1);  // an icon, not a cursor
    ASSERT_EQ(GetLe<uint16_t>(ico, 4), 2);
    EXPECT_EQ(ico[6], 16);
    EXPECT_EQ(ico[6 + 16], 32);
    EXPECT_EQ(GetLe<uint16_t>(ico, 6 + 6), 4);  // bits per pixel
    const uint32_t secondEnd = GetLe32(ico, 6 + 16 + 12) + GetLe32(ico, 6 + 16 + 8);
    EXPECT_EQ(secondEnd, ico.size());

    EXPECT_EQ(ShownAt(ico, 0, 16, 0, 0), Rgb(200, 0, 0));
    EXPECT_EQ(ShownAt(ico, 0, 16, 1, 0), Rgb(10, 20, 30));
    EXPECT_EQ(ShownAt(ico, 0, 16, 3, 7), Rgb(0, 0, 0));
    EXPECT_EQ(ShownAt(ico, 0, 16, 15, 15), std::nullopt);
    EXPECT_EQ(ShownAt(ico, 1, 32, 31, 0), Rgb(1, 2, 3));
    EXPECT_EQ(ShownAt(ico, 1, 32, 30, 0), std::nullopt);
    EXPECT_EQ(ShownAt(ico, 1, 32, 0, 31), std::nullopt);
}

TEST(IcoWriter, RefusesWhatA16ColourIconCannotHold) {
    std::string error;
    ui::Surface colourful(16, 16);
    for (int32_t x = 0; x < 16; ++x) colourful.Set(x, 0, Rgb(static_cast<uint8_t>(x + 1), 0, 0));
    EXPECT_TRUE(EncodeIco({colourful}, error).empty());
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(EncodeIco({ui::Surface(16, 8)}, error).empty());
}

}  // namespace
}  // namespace vc::tools
