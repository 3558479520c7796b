// The help pictures read cleanly: text is not cut off and leader lines do not
// cross the face's own labels. Checked on the committed pixels (the
// regeneration test ties them to the generator).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "bmp_probe.h"

namespace {

using skin_test::Picture;

Picture Load(int number) {
    std::string error;
    Picture picture = skin_test::ReadPicture(skin_test::ResourcePath(std::to_string(number) + ".bmp"), error);
    EXPECT_EQ(error, "") << "picture " << number;
    return picture;
}

// Light grey text (and its smoothing), not the yellow leader lines.
bool TextInk(uint32_t rgb) {
    const int r = int(rgb >> 16 & 0xFF), g = int(rgb >> 8 & 0xFF), b = int(rgb & 0xFF);
    return std::min({r, g, b}) > 110 && std::max({r, g, b}) - std::min({r, g, b}) < 40;
}

bool RowHasInk(const Picture& p, int y, int x0, int x1) {
    for (int x = x0; x < x1; ++x) {
        if (TextInk(p.At(x, y))) return true;
    }
    return false;
}

// The last text line inside the band; its final glyph (the "g" of "setting")
// must reach at least two rows below the bottom of the glyphs before it.
void ExpectLastGlyphDescends(int number, int y0, int y1) {
    SCOPED_TRACE("picture " + std::to_string(number));
    const Picture p = Load(number);
    constexpr int x0 = 0, x1 = 92;  // the labels left of the face
    int bottom = y1 - 1;
    while (bottom >= y0 && !RowHasInk(p, bottom, x0, x1)) --bottom;
    ASSERT_GE(bottom, y0) << "no text in the band";
    int top = bottom;
    while (top > y0 && RowHasInk(p, top - 1, x0, x1)) --top;
    auto columnHasInk = [&](int x) {
        for (int y = top; y <= bottom; ++y) {
            if (TextInk(p.At(x, y))) return true;
        }
        return false;
    };
    int right = x1 - 1;
    while (!columnHasInk(right)) --right;
    int glyphLeft = right;
    while (columnHasInk(glyphLeft - 1)) --glyphLeft;
    auto lowestInk = [&](int from, int to) {
        for (int y = bottom; y >= top; --y) {
            for (int x = from; x < to; ++x) {
                if (TextInk(p.At(x, y))) return y;
            }
        }
        return -1;
    };
    const int glyphBottom = lowestInk(glyphLeft, right + 1);
    const int restBottom = lowestInk(x0, glyphLeft);
    ASSERT_GE(restBottom, 0);
    EXPECT_GE(glyphBottom - restBottom, 2) << "descender cut at row " << glyphBottom;
}

TEST(HelpPictures, DescenderOfSettingIsDrawn) {
    ExpectLastGlyphDescends(171, 135, 182);  // "more advanced setting" beside the Advance face
    ExpectLastGlyphDescends(195, 30, 80);    // the same beside the Easy face
}

TEST(HelpPictures, NoLeaderCrossesDramLabel) {
    const Picture face = Load(136);  // Advance background
    const Picture help = Load(171);
    constexpr int kFaceX = 95, kFaceY = 28;  // where the help picture shows the face
    // Ink box of "DRAM MHz", found between the rule above it, the arrow
    // buttons left of it and the display below it.
    int left = 238, right = 166, top = 182, bottom = 172;
    for (int y = 172; y < 182; ++y) {
        for (int x = 166; x < 238; ++x) {
            if (!TextInk(face.At(x, y))) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    ASSERT_LT(left, right) << "no DRAM label on the face";
    int covered = 0;
    for (int y = top - 1; y <= bottom + 1; ++y) {
        for (int x = left - 1; x <= right + 1; ++x) {
            covered += face.At(x, y) != help.At(x + kFaceX, y + kFaceY);
        }
    }
    EXPECT_EQ(covered, 0) << "pixels drawn over the DRAM label box (" << left << "," << top << ")-(" << right
                          << "," << bottom << ")";
}

}  // namespace
