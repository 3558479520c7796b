#include "core/ui/bitmap_font.h"

#include <gtest/gtest.h>

#include <ostream>

#include "core/board/temp_dir.h"
#include "core/ui/bmp_codec.h"

namespace vc::ui {
namespace {

constexpr Pixel kBackground = Rgb(0, 0, 90);
constexpr Pixel kUnusedColumns = Rgb(0, 200, 0);

// Digit d fills its whole cell with its own colour.
constexpr Pixel DigitColour(int d) { return Rgb(static_cast<uint8_t>(10 + d * 20), 0, 0); }

Surface DigitStrip(int32_t stripWidth, int32_t height) {
    Surface strip(stripWidth, height, kUnusedColumns);
    const int32_t cell = stripWidth / 10;
    for (int d = 0; d < 10; ++d) strip.Fill(RectAt(d * cell, 0, cell, height), DigitColour(d));
    return strip;
}

class DrawNumberTest : public ::testing::Test {
protected:
    // A font loaded through the picture store from a strip file.
    BitmapFont LoadFont(int32_t stripWidth, int32_t height) {
        dir.Write("110.bmp", EncodeBmp(DigitStrip(stripWidth, height)));
        BitmapFont font;
        EXPECT_EQ(font.Load(store, 110), 1);
        return font;
    }

    // What the block of one glyph at `left` shows: a digit, '_' for
    // background, '?' for anything mixed.
    char ReadCell(int32_t left, const BitmapFont& font) const {
        const Pixel first = target.At(left, kY);
        for (int32_t y = kY; y < kY + font.glyphHeight; ++y) {
            for (int32_t x = left; x < left + font.glyphWidth; ++x) {
                if (target.At(x, y) != first) return '?';
            }
        }
        if (first == kBackground) return '_';
        for (int d = 0; d < 10; ++d) {
            if (first == DigitColour(d)) return static_cast<char>('0' + d);
        }
        return '?';
    }

    int64_t DrawnPixels() const {
        int64_t n = 0;
        for (const Pixel p : target.Pixels()) n += p != kBackground;
        return n;
    }

    static constexpr int32_t kX = 40, kY = 3;
    vc::test::TempDir dir;
    PictureStore store{dir.Path()};
    Surface target{200, 40, kBackground};
};

struct NumberCase {
    const char* what;
    double value;
    int32_t cells;
    int32_t showTenths;
    int32_t spacing;
    const char* integerCells;  // cells -1 .. cells-1
    char tenths;               // '_' when not drawn
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.what << ": " << c.value << " in " << c.cells << " cells -> \"" << c.integerCells << "\" tenths '"
        << c.tenths << "'";
}

class DrawNumberCases : public DrawNumberTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(DrawNumberCases, PutsEachGlyphInItsCell) {
    const NumberCase c = GetParam();
    const BitmapFont font = LoadFont(40, 5);  // cells of 4 x 5
    EXPECT_EQ(font.DrawNumber(target, kX, kY, c.cells, c.showTenths, c.spacing, c.value), 1);
    const int32_t pitch = font.glyphWidth + c.spacing;
    std::string cells;
    for (int32_t i = -1; i < c.cells; ++i) cells += ReadCell(kX + i * pitch, font);
    EXPECT_EQ(cells, c.integerCells);
    EXPECT_EQ(ReadCell(kX + c.cells * pitch + 6, font), c.tenths);
    // Nothing else is drawn: count the glyphs found times the cell size.
    int64_t glyphs = 0;
    for (const char ch : cells) glyphs += ch != '_';
    glyphs += c.tenths != '_';
    EXPECT_EQ(DrawnPixels(), glyphs * font.glyphWidth * font.glyphHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DrawNumberCases,
    ::testing::Values(NumberCase{"BusClock", 66.8, 3, 1, 3, "__66", '8'},
                      NumberCase{"RoundsUpIntoANewDigit", 99.96, 3, 1, 3, "_100", '0'},
                      NumberCase{"OverflowsLeftOfTheOrigin", 1000.0, 3, 1, 3, "1000", '0'},
                      NumberCase{"PaddingBlankDrawsZero", 5.0, 3, 1, 3, "__05", '0'},
                      NumberCase{"MinusSignDrawsZero", -3.26, 3, 1, 3, "__03", '3'},
                      NumberCase{"NegativeWithTwoDigits", -12.0, 4, 1, 2, "__012", '0'},
                      NumberCase{"WithoutTenths", 33.3, 3, 0, 3, "__33", '_'},
                      NumberCase{"ProcessorClockFourCells", 733.46, 4, 1, 4, "__733", '5'},
                      NumberCase{"NoSpacing", 12.0, 2, 1, 0, "_12", '0'},
                      NumberCase{"RoundsHalfToTheFormatterResult", 0.05, 3, 1, 3, "__00", '1'}),
    [](const auto& p) { return std::string(p.param.what); });

TEST_F(DrawNumberTest, GlyphWidthIsTruncatedAndTheLastColumnsOfTheStripStayUnused) {
    const BitmapFont font = LoadFont(105, 4);
    EXPECT_EQ(font.glyphWidth, 10);
    EXPECT_EQ(font.glyphHeight, 4);
    font.DrawNumber(target, kX, kY, 3, 1, 3, 999.9);
    EXPECT_EQ(ReadCell(kX + 2 * 13, font), '9');
    EXPECT_EQ(ReadCell(kX + 3 * 13 + 6, font), '9');
    for (const Pixel p : target.Pixels()) ASSERT_NE(p, kUnusedColumns);
}

TEST_F(DrawNumberTest, AMissingStripDrawsNothingAndReportsIt) {
    BitmapFont font;
    EXPECT_EQ(font.Load(store, 152), 1);
    EXPECT_EQ(font.glyphWidth, 0);
    EXPECT_EQ(font.DrawNumber(target, kX, kY, 3, 1, 3, 66.8), 0);
    EXPECT_EQ(DrawnPixels(), 0);
    EXPECT_TRUE(store.IsMissing(152));
}

TEST_F(DrawNumberTest, HugeAndNonFiniteValuesStayInsideTheSurface) {
    const BitmapFont font = LoadFont(40, 5);
    EXPECT_EQ(FormatDisplayValue(1e300).size(), 303u);
    font.DrawNumber(target, kX, kY, 3, 1, 3, 1e300);
    EXPECT_EQ(ReadCell(kX + 2 * 7, font), '0');
    target = Surface(200, 40, kBackground);
    font.DrawNumber(target, kX, kY, 3, 1, 3, std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadCell(kX + 3 * 7 + 6, font), '0');  // no tenths character: the glyph 0
}

}  // namespace
}  // namespace vc::ui
