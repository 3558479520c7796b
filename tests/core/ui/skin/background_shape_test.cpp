// The backgrounds are cut exactly along the outlines: the colour key outside,
// never the colour key inside (pixel centres, odd-even rule).
#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <span>
#include <string>

#include "bmp_probe.h"
#include "core/ui/outlines.h"

namespace {

// Odd-even test of the centre of pixel (x, y), in doubled integer coordinates
// so that no rounding decides it; a centre on an edge does not cross it.
bool Covers(std::span<const vc::ui::OutlineVertex> polygon, int32_t x, int32_t y) {
    const int64_t px = 2 * int64_t{x} + 1, py = 2 * int64_t{y} + 1;
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const int64_t xi = 2 * int64_t{polygon[i].x}, yi = 2 * int64_t{polygon[i].y};
        const int64_t xj = 2 * int64_t{polygon[j].x}, yj = 2 * int64_t{polygon[j].y};
        if ((yi > py) == (yj > py)) continue;
        const int64_t lhs = (px - xi) * (yj - yi), rhs = (py - yi) * (xj - xi);
        if (yj > yi ? lhs < rhs : lhs > rhs) inside = !inside;
    }
    return inside;
}

TEST(OddEven, SquareAndNotch) {
    const vc::ui::OutlineVertex square[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}};
    EXPECT_TRUE(Covers(square, 0, 0));
    EXPECT_TRUE(Covers(square, 3, 3));
    EXPECT_FALSE(Covers(square, 4, 0));  // right and bottom edges are excluded
    EXPECT_FALSE(Covers(square, 0, 4));
    EXPECT_FALSE(Covers(square, -1, 2));
    // A loop that crosses itself leaves its overlap uncovered.
    const vc::ui::OutlineVertex twice[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}};
    EXPECT_FALSE(Covers(twice, 2, 2));
}

struct Face {
    const char* name;
    int picture;
    int layoutCode;
    int top;  // window row of the picture's first row
};

void PrintTo(const Face& c, std::ostream* os) { *os << c.name << " (picture " << c.picture << ")"; }

class BackgroundShape : public testing::TestWithParam<Face> {};

TEST_P(BackgroundShape, KeyExactlyOutsideTheOutline) {
    const Face face = GetParam();
    std::string error;
    const auto picture =
        skin_test::ReadPicture(skin_test::ResourcePath(std::to_string(face.picture) + ".bmp"), error);
    ASSERT_EQ(error, "");
    const auto outline = vc::ui::OutlineForLayout(face.layoutCode);
    size_t inside = 0;
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            const bool covered = Covers(outline, x, y + face.top);
            inside += covered;
            if (covered) {
                ASSERT_NE(picture.At(x, y), skin_test::kKey) << face.name << " inside at " << x << "," << y;
            } else {
                ASSERT_EQ(picture.At(x, y), skin_test::kKey) << face.name << " outside at " << x << "," << y;
            }
        }
    }
    // The face fills most of its picture.
    EXPECT_GT(inside, static_cast<size_t>(picture.width * picture.height) * 3 / 4);
}

INSTANTIATE_TEST_SUITE_P(Layouts, BackgroundShape,
                         testing::Values(Face{"Easy", 109, 1, 110}, Face{"Advance", 136, 2, 0}),
                         [](const testing::TestParamInfo<Face>& face) { return std::string(face.param.name); });

}  // namespace
