#include "core/ui/main/offscreen_render.h"

#include <gtest/gtest.h>

#include "core/ui/main/main_window_places.h"

namespace vc::ui {
namespace {

// The shipped pictures, with a detected-looking state.
class OffscreenRenderTest : public ::testing::Test {
protected:
    OffscreenRenderTest() : pictures(VC_SOURCE_DIR "/resources") {
        info.cpu.cpuClockMHz = 500.0;
        info.busClockMHz = 105.0;
        info.cpuClockMHz = 525.0;
        info.pciClockMHz = 35.0;
        info.memClockMHz = 0.0;  // not shown
        info.board.clockGen = std::make_shared<ClockGenRecord>();
        info.board.clockGen->fineTune = 1;
    }

    // Whether the glyph `digit` of a digit strip sits at (x, y) of `image`.
    bool GlyphAt(const Surface& image, int32_t picture, int32_t digit, int32_t x, int32_t y) {
        const Surface* strip = pictures.Get(picture);
        const int32_t w = strip->Width() / 10;
        for (int32_t gy = 0; gy < strip->Height(); ++gy)
            for (int32_t gx = 0; gx < w; ++gx)
                if (image.At(x + gx, y + gy) != strip->At(digit * w + gx, gy)) return false;
        return true;
    }

    PictureStore pictures;
    SystemInfo info;
};

TEST_F(OffscreenRenderTest, EasyFaceShowsTheMeasuredClockBelowItsTopEdge) {
    const Surface image = RenderMainWindow(pictures, info, {Layout::Easy, false});
    EXPECT_TRUE(pictures.Problems().empty());
    ASSERT_EQ(image.Width(), kMainWidth);
    ASSERT_EQ(image.Height(), kMainHeight);
    // Above the Easy face nothing is drawn.
    for (int32_t x = 0; x < kMainWidth; x += 5) EXPECT_EQ(image.At(x, 50), kColourKey) << x;
    // "500.0" in 4 cells of 16 + 3 pixels from (20, 161): cells 1-3 hold 5, 0, 0, then the tenths.
    EXPECT_TRUE(GlyphAt(image, kPictureLargeDigits, 5, 20 + 1 * 19, 161));
    EXPECT_TRUE(GlyphAt(image, kPictureLargeDigits, 0, 20 + 3 * 19, 161));
    EXPECT_TRUE(GlyphAt(image, kPictureLargeDigits, 0, 20 + 4 * 19 + 6, 161));
    // Auto Optimize shows its plain face, then its on face when in force.
    const Surface* normal = pictures.Get(143);
    const Surface* on = pictures.Get(148);
    EXPECT_EQ(image.At(173 + 50, 179 + 12), normal->At(50, 12));
    const Surface optimised = RenderMainWindow(pictures, info, {Layout::Easy, true});
    EXPECT_EQ(optimised.At(173 + 50, 179 + 12), on->At(50, 12));
    EXPECT_NE(normal->At(50, 12), on->At(50, 12));
}

TEST_F(OffscreenRenderTest, AdvanceFaceShowsTheSelectionAndHidesZeroClocks) {
    const Surface image = RenderMainWindow(pictures, info, {Layout::Advance, false});
    EXPECT_TRUE(pictures.Problems().empty());
    // Bus "105.0" in 3 cells from (58, 166).
    EXPECT_TRUE(GlyphAt(image, kPictureLargeDigits, 1, 58, 166));
    EXPECT_TRUE(GlyphAt(image, kPictureLargeDigits, 5, 58 + 2 * 19, 166));
    // Processor "525.0" in 4 cells of 16 + 4 from (256, 83).
    EXPECT_TRUE(GlyphAt(image, kPictureLargeDigits, 2, 256 + 2 * 20, 83));
    // PCI " 35" without tenths in small digits from (180, 149): cell 1 = 3, cell 2 = 5.
    EXPECT_TRUE(GlyphAt(image, kPictureSmallDigits, 3, 180 + 1 * 13, 149));
    EXPECT_TRUE(GlyphAt(image, kPictureSmallDigits, 5, 180 + 2 * 13, 149));
    // The memory clock is 0: its display keeps the background.
    const Surface* background = pictures.Get(kPictureAdvanceBackground);
    for (int32_t x = 180; x < 180 + 3 * 13; ++x) EXPECT_EQ(image.At(x, 195), background->At(x, 195)) << x;
    // The fine-tune buttons exist on this chip: 325 sits at (18, 157).
    EXPECT_EQ(image.At(18 + 15, 157 + 9), pictures.Get(163)->At(15, 9));
}

TEST_F(OffscreenRenderTest, NoFineTuneButtonsWithoutTheChipsFlag) {
    info.board.clockGen->fineTune = 0;
    const Surface image = RenderMainWindow(pictures, info, {Layout::Advance, false});
    const Surface* background = pictures.Get(kPictureAdvanceBackground);
    EXPECT_EQ(image.At(18 + 15, 157 + 9), background->At(18 + 15, 157 + 9));
}

TEST_F(OffscreenRenderTest, MissingPicturesAreReportedNotFatal) {
    PictureStore empty("/nonexistent-velocore-resources");
    const Surface image = RenderMainWindow(empty, info, {Layout::Advance, false});
    EXPECT_EQ(image.Width(), kMainWidth);
    EXPECT_FALSE(empty.Problems().empty());
}

}  // namespace
}  // namespace vc::ui
