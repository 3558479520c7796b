#include "core/ui/region.h"

#include <gtest/gtest.h>

#include <numbers>

#include "core/ui/skin_button.h"

namespace vc::ui {
namespace {

TEST(PolygonRegion, ARectangleCoversExactlyItsPixels) {
    const Point corners[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    const Region r = Region::Polygon(corners);
    EXPECT_EQ(r.PixelCount(), 12);
    EXPECT_EQ(r.Bounds(), (Rect{1, 1, 5, 4}));
    EXPECT_TRUE(r.Contains(1, 1));
    EXPECT_TRUE(r.Contains(4, 3));
    EXPECT_FALSE(r.Contains(5, 3));
    EXPECT_FALSE(r.Contains(4, 4));
}

TEST(PolygonRegion, OverlapsFilledByTheAlternateRuleLeaveHoles) {
    // Two passes round the same square: the even-odd rule leaves it empty,
    // and a five-pointed star loses its centre.
    const Point twice[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, 4}, {0, 4}};
    EXPECT_TRUE(Region::Polygon(twice).IsEmpty());
    const Point star[] = {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}};
    const Region r = Region::Polygon(star);
    EXPECT_FALSE(r.Contains(50, 50));
    EXPECT_TRUE(r.Contains(50, 10));
    EXPECT_TRUE(r.Contains(20, 40));
}

TEST(EllipseRegion, IsSymmetricAndCoversAboutAQuarterCircleOfItsBox) {
    const Region r = Region::Ellipse(Rect{0, 0, 25, 17});
    EXPECT_EQ(r.Bounds(), (Rect{0, 0, 25, 17}));
    for (int32_t y = 0; y < 17; ++y) {
        for (int32_t x = 0; x < 25; ++x) {
            ASSERT_EQ(r.Contains(x, y), r.Contains(24 - x, y)) << x << "," << y;
            ASSERT_EQ(r.Contains(x, y), r.Contains(x, 16 - y)) << x << "," << y;
        }
    }
    EXPECT_FALSE(r.Contains(0, 0));
    EXPECT_TRUE(r.Contains(12, 8));
    EXPECT_NEAR(static_cast<double>(r.PixelCount()), std::numbers::pi / 4 * 25 * 17, 25.0);
    EXPECT_TRUE(Region::Ellipse(Rect{0, 0, 0, 5}).IsEmpty());
}

TEST(RegionFrame, KeepsOnlyPixelsWithANeighbourOutside) {
    const Point corners[] = {{0, 0}, {4, 0}, {4, 3}, {0, 3}};
    const Region frame = Region::Polygon(corners).Frame();
    EXPECT_EQ(frame.PixelCount(), 10);
    EXPECT_FALSE(frame.Contains(1, 1));
    EXPECT_FALSE(frame.Contains(2, 1));
    EXPECT_TRUE(frame.Contains(0, 1));
    EXPECT_TRUE(frame.Contains(3, 2));
}

class TriangleRegions : public ::testing::TestWithParam<std::pair<int32_t, int32_t>> {};

TEST_P(TriangleRegions, PointTheRightWayAndMirrorEachOther) {
    const auto [width, height] = GetParam();
    const Region up = ShapeRegion(SHAPE_TRIANGLE_UP, width, height);
    const Region down = ShapeRegion(SHAPE_TRIANGLE_DOWN, width, height);
    auto rowWidth = [](const Region& r, int32_t y) {
        int32_t n = 0;
        for (const Span& s : r.Spans()) n += s.y == y ? s.right - s.left : 0;
        return n;
    };
    // Widest at the base, narrowing towards the apex at width / 2.
    EXPECT_GE(rowWidth(up, height - 1), width - 2);
    EXPECT_LE(rowWidth(up, 0), 2);
    const Span apex = up.Spans().front();
    EXPECT_LE(apex.y, 1);
    EXPECT_TRUE(apex.left <= width / 2 && width / 2 - 1 < apex.right);
    for (int32_t y = 1; y < height; ++y) EXPECT_GE(rowWidth(up, y), rowWidth(up, y - 1));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            ASSERT_EQ(up.Contains(x, y), down.Contains(x, height - 1 - y)) << x << "," << y;
        }
    }
    EXPECT_NEAR(static_cast<double>(up.PixelCount()), width * height / 2.0, width + height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TriangleRegions,
                         ::testing::Values(std::pair{17, 17}, std::pair{18, 9}, std::pair{40, 25}));

TEST(ShapeRegion, PictureAndUnknownShapesKeepTheWholeRectangle) {
    EXPECT_TRUE(ShapeRegion(SHAPE_PICTURE, 20, 20).IsEmpty());
    EXPECT_TRUE(ShapeRegion(7, 20, 20).IsEmpty());
    EXPECT_EQ(ShapeRegion(SHAPE_ELLIPSE, 20, 10), Region::Ellipse(Rect{0, 0, 20, 10}));
}

}  // namespace
}  // namespace vc::ui
