#include "core/ui/surface.h"

#include <gtest/gtest.h>

#include <ostream>

#include <climits>

#include "picture_builders.h"

namespace vc::ui {
namespace {

using test::PatternSurface;

constexpr Pixel kBackground = Rgb(9, 9, 9);

// --- plain and keyed copies, clipped to both surfaces -------------------------

struct CopyCase {
    const char* what;
    int32_t dx, dy, sx, sy, width, height;
};

void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << c.what << ": " << c.width << "x" << c.height << " from (" << c.sx << "," << c.sy << ") to (" << c.dx << ","
        << c.dy << ")";
}

class ClippedCopy : public ::testing::TestWithParam<CopyCase> {};

// Each target pixel either comes from the source pixel at the same offset in
// the copied box or keeps the background: clipping never shifts pixels.
TEST_P(ClippedCopy, MovesEveryVisiblePixelToItsPlaceAndNothingElse) {
    const CopyCase c = GetParam();
    const Surface source = PatternSurface(4, 3);
    Surface target(5, 5, kBackground);
    CopyPixels(target, c.dx, c.dy, source, c.sx, c.sy, c.width, c.height);
    int changed = 0;
    for (int32_t y = 0; y < target.Height(); ++y) {
        for (int32_t x = 0; x < target.Width(); ++x) {
            const int64_t ox = int64_t{x} - c.dx, oy = int64_t{y} - c.dy;
            const int64_t srcX = c.sx + ox, srcY = c.sy + oy;
            const bool inBox = ox >= 0 && oy >= 0 && ox < c.width && oy < c.height;
            const bool inSource = srcX >= 0 && srcY >= 0 && srcX < 4 && srcY < 3;
            if (inBox && inSource) {
                ASSERT_EQ(target.At(x, y), source.At(static_cast<int32_t>(srcX), static_cast<int32_t>(srcY)))
                    << x << "," << y;
                ++changed;
            } else {
                ASSERT_EQ(target.At(x, y), kBackground) << x << "," << y;
            }
        }
    }
    if (std::string(c.what) == "Whole") {
        EXPECT_EQ(changed, 12);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClippedCopy,
    ::testing::Values(CopyCase{"Whole", 1, 1, 0, 0, 4, 3}, CopyCase{"LeftAndAbove", -1, -2, 0, 0, 4, 3},
                      CopyCase{"RightAndBelow", 3, 4, 0, 0, 4, 3}, CopyCase{"SourceBoxLeftOfSource", 0, 0, -2, -1, 4, 3},
                      CopyCase{"SourceBoxPastSource", 0, 0, 2, 1, 4, 3}, CopyCase{"LargerThanBoth", -3, -3, -3, -3, 50, 50},
                      CopyCase{"ZeroSize", 0, 0, 0, 0, 0, 3}, CopyCase{"NegativeSize", 0, 0, 0, 0, -4, -3},
                      CopyCase{"FarAway", INT32_MAX - 1, INT32_MAX - 1, 0, 0, INT32_MAX, INT32_MAX},
                      CopyCase{"FarBefore", INT32_MIN, INT32_MIN, 0, 0, INT32_MAX, INT32_MAX}),
    [](const auto& p) { return std::string(p.param.what); });

TEST(KeyedCopy, LeavesTheTargetWhereTheSourceHasExactlyTheKeyColour) {
    Surface source(4, 1);
    source.Set(0, 0, kColourKey);
    source.Set(1, 0, Rgb(254, 254, 255));  // near the key: drawn
    source.Set(2, 0, Rgb(255, 254, 254));
    source.Set(3, 0, Rgb(1, 2, 3));
    Surface target(4, 1, kBackground);
    CopyPixelsKeyed(target, 0, 0, source, 0, 0, 4, 1);
    EXPECT_EQ(target.At(0, 0), kBackground);
    EXPECT_EQ(target.At(1, 0), Rgb(254, 254, 255));
    EXPECT_EQ(target.At(2, 0), Rgb(255, 254, 254));
    EXPECT_EQ(target.At(3, 0), Rgb(1, 2, 3));
}

TEST(SurfaceCopy, CopyWithinOneSurfaceReadsTheAreaAsItWasBefore) {
    Surface s = PatternSurface(5, 5);
    const Surface before = s;
    CopyPixels(s, 1, 1, s, 0, 0, 4, 4);  // overlapping, shifted down-right
    for (int32_t y = 1; y < 5; ++y) {
        for (int32_t x = 1; x < 5; ++x) ASSERT_EQ(s.At(x, y), before.At(x - 1, y - 1));
    }
    EXPECT_EQ(s.At(0, 0), before.At(0, 0));
}

TEST(SurfaceFill, FillsOnlyTheInsidePart) {
    Surface s(3, 3, kBackground);
    s.Fill(Rect{-5, 2, 2, 100}, Rgb(1, 1, 1));
    EXPECT_EQ(s.At(0, 2), Rgb(1, 1, 1));
    EXPECT_EQ(s.At(1, 2), Rgb(1, 1, 1));
    EXPECT_EQ(s.At(2, 2), kBackground);
    EXPECT_EQ(s.At(0, 1), kBackground);
}

TEST(DrawPicture, DrawsTheWholePictureAtItsPlaceAndANullPictureNotAtAll) {
    const Surface picture = PatternSurface(2, 2);
    Surface target(4, 4, kBackground);
    DrawPicture(target, nullptr, 0, 0);
    DrawPictureKeyed(target, nullptr, 0, 0);
    EXPECT_EQ(target, Surface(4, 4, kBackground));
    DrawPicture(target, &picture, 2, 1);
    EXPECT_EQ(target.At(3, 2), picture.At(1, 1));
    EXPECT_EQ(target.At(1, 1), kBackground);
}

// --- stretch copy --------------------------------------------------------------------

// The source column (or row) each target column takes, for one axis.
std::vector<int32_t> ColumnsTaken(int32_t sourceWidth, int32_t targetWidth, int32_t dx = 0) {
    Surface source(sourceWidth, 1);
    for (int32_t x = 0; x < sourceWidth; ++x) source.Set(x, 0, static_cast<Pixel>(x));
    Surface target(targetWidth, 1, 0xFFFFFF);
    StretchPixels(target, dx, 0, targetWidth, 1, source, 0, 0, sourceWidth, 1);
    std::vector<int32_t> taken;
    for (int32_t x = 0; x < targetWidth; ++x) taken.push_back(static_cast<int32_t>(target.At(x, 0)));
    return taken;
}

TEST(StretchCopy, RepeatsOrDropsWholeSourceColumns) {
    EXPECT_EQ(ColumnsTaken(2, 4), (std::vector<int32_t>{0, 0, 1, 1}));
    EXPECT_EQ(ColumnsTaken(4, 2), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(ColumnsTaken(3, 5), (std::vector<int32_t>{0, 0, 1, 1, 2}));
    EXPECT_EQ(ColumnsTaken(5, 5), (std::vector<int32_t>{0, 1, 2, 3, 4}));
}

TEST(StretchCopy, ClippingOnTheLeftDoesNotShiftTheMapping) {
    // Target starts one column left of the surface: visible columns are 1..4 of the stretch.
    EXPECT_EQ(ColumnsTaken(2, 4, -1), (std::vector<int32_t>{0, 1, 1, 0xFFFFFF}));
}

TEST(StretchCopy, ScalesRowsAsWellAsColumns) {
    const Surface source = PatternSurface(2, 2);
    Surface target(4, 6, kBackground);
    StretchPixels(target, 0, 0, 4, 6, source, 0, 0, 2, 2);
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 4; ++x) ASSERT_EQ(target.At(x, y), source.At(x / 2, y / 3));
    }
}

TEST(StretchCopy, SourceRectanglePartlyOutsideTheSourceDrawsOnlyTheInsidePart) {
    const Surface source = PatternSurface(2, 2);
    Surface target(4, 4, kBackground);
    StretchPixels(target, 0, 0, 4, 4, source, 1, 1, 2, 2);  // source box (1,1)-(3,3)
    EXPECT_EQ(target.At(0, 0), source.At(1, 1));
    EXPECT_EQ(target.At(1, 1), source.At(1, 1));
    EXPECT_EQ(target.At(2, 0), kBackground);
    EXPECT_EQ(target.At(0, 2), kBackground);
}

}  // namespace
}  // namespace vc::ui
