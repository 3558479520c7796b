#include "core/ui/skin_button.h"

#include <gtest/gtest.h>

#include <ostream>

#include "core/board/temp_dir.h"
#include "core/ui/bmp_codec.h"
#include "recording_window_host.h"

namespace vc::ui {
namespace {

constexpr Pixel kNormal = Rgb(10, 0, 0), kPressed = Rgb(20, 0, 0), kOn = Rgb(30, 0, 0),
                kOnPressed = Rgb(40, 0, 0), kBackground = Rgb(1, 2, 3);

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [number, colour] :
             {std::pair{143, kNormal}, std::pair{141, kPressed}, std::pair{148, kOn}, std::pair{146, kOnPressed}}) {
            dir.Write(std::to_string(number) + ".bmp", EncodeBmp(Surface(6, 4, colour)));
        }
        button.caption = "";
        button.pictureNormal = 143;
        button.picturePressed = 141;
        button.pictureOn = 148;
        button.pictureOnPressed = 146;
        button.x = 173;
        button.y = 179;
        button.width = 6;
        button.height = 4;
        button.shape = SHAPE_PICTURE;
        button.onState = 1;  // creation clears it
    }

    // The colour the button paints for a request, or the background.
    Pixel Drawn(uint32_t itemState, int32_t controlId = 312) {
        face = Surface(6, 4, kBackground);
        lastResult = button.DrawItem(DrawItemRequest{controlId, itemState, &face, Rect{0, 0, 6, 4}, nullptr});
        return face.At(5, 3);
    }

    vc::test::TempDir dir;
    PictureStore store{dir.Path()};
    test::RecordingWindowHost parent{526, 216};
    SkinButton button;
    Surface face;
    int32_t lastResult = -1;
};

TEST_F(SkinButtonTest, CreateMakesTheChildWindowAtItsPlaceAndLoadsTheFaces) {
    ASSERT_EQ(button.Create(parent, store, 312), 1);
    EXPECT_EQ(button.id, 312);
    EXPECT_EQ(button.onState, 0);
    ASSERT_EQ(parent.created.size(), 1u);
    EXPECT_EQ(parent.created[0].id, 312);
    EXPECT_EQ(parent.created[0].bounds, (Rect{173, 179, 179, 183}));
    EXPECT_TRUE(parent.created[0].region.IsEmpty());
    EXPECT_NE(button.window, kNoChild);
    EXPECT_EQ(button.bitmapNormal, store.Get(143));
    EXPECT_EQ(button.bitmapPressed, store.Get(141));
    EXPECT_EQ(button.bitmapOn, store.Get(148));
    EXPECT_EQ(button.bitmapOnPressed, store.Get(146));
}

struct FaceCase {
    uint32_t itemState;
    int32_t onState;
    Pixel face;
};

void PrintTo(const FaceCase& c, std::ostream* os) {
    *os << "item state 0x" << std::hex << c.itemState << std::dec << ", on " << c.onState;
}

class FaceSelection : public SkinButtonTest, public ::testing::WithParamInterface<FaceCase> {};

TEST_P(FaceSelection, DrawsTheFaceOfTheStateAtTheItemCorner) {
    ASSERT_EQ(button.Create(parent, store, 312), 1);
    button.onState = GetParam().onState;
    EXPECT_EQ(Drawn(GetParam().itemState), GetParam().face);
    EXPECT_EQ(face.At(0, 0), GetParam().face);
    EXPECT_EQ(lastResult, 1);
}

// Bits other than "held down" (focus 0x10, disabled 0x4) change nothing.
INSTANTIATE_TEST_SUITE_P(States, FaceSelection,
                         ::testing::Values(FaceCase{0, 0, kNormal}, FaceCase{1, 0, kPressed}, FaceCase{0, 1, kOn},
                                           FaceCase{1, 1, kOnPressed}, FaceCase{0x10, 0, kNormal},
                                           FaceCase{0x15, 7, kOnPressed}, FaceCase{0x4, -1, kOn}));

TEST_F(SkinButtonTest, LatchedButtonGoesBackToItsNormalFaceAfterClearAndInvalidate) {
    ASSERT_EQ(button.Create(parent, store, 312), 1);
    button.onState = 1;
    EXPECT_EQ(Drawn(kItemStateSelected), kOnPressed);
    EXPECT_EQ(Drawn(0), kOn);
    button.onState = 0;
    EXPECT_EQ(button.Invalidate(parent), 1);
    ASSERT_EQ(parent.invalidated.size(), 1u);
    EXPECT_EQ(parent.invalidated[0].area, (Rect{173, 179, 179, 183}));
    EXPECT_TRUE(parent.invalidated[0].erase);
    EXPECT_EQ(Drawn(0), kNormal);
}

TEST_F(SkinButtonTest, RequestsForOtherControlsOrUncreatedButtonsAreDeclined) {
    EXPECT_EQ(Drawn(0, 0), kBackground);  // zeroed window: even a matching id 0 is declined
    EXPECT_EQ(lastResult, 0);
    SkinButton zeroed;
    Surface target(4, 4, kBackground);
    EXPECT_EQ(zeroed.DrawItem(DrawItemRequest{0, 0, &target, Rect{0, 0, 4, 4}, nullptr}), 0);
    ASSERT_EQ(button.Create(parent, store, 312), 1);
    EXPECT_EQ(Drawn(0, 311), kBackground);
    EXPECT_EQ(lastResult, 0);
}

TEST_F(SkinButtonTest, FailedCreationLoadsNothingAndDrawsNothing) {
    parent.failCreation = true;
    EXPECT_EQ(button.Create(parent, store, 312), 0);
    EXPECT_EQ(button.window, kNoChild);
    EXPECT_EQ(button.bitmapNormal, nullptr);
    EXPECT_FALSE(store.IsMissing(143));
    EXPECT_EQ(Drawn(0), kBackground);
    EXPECT_EQ(lastResult, 0);
}

TEST_F(SkinButtonTest, AFaceWithoutPictureDrawsNothingButCountsAsDrawn) {
    button.pictureOn = 0;
    button.pictureOnPressed = 999;  // no such file
    ASSERT_EQ(button.Create(parent, store, 311), 1);
    EXPECT_EQ(button.bitmapOn, nullptr);
    EXPECT_EQ(button.bitmapOnPressed, nullptr);
    EXPECT_TRUE(store.IsMissing(999));
    EXPECT_FALSE(store.IsMissing(0));  // 0 is never asked for
    button.onState = 1;
    EXPECT_EQ(Drawn(0, 311), kBackground);
    EXPECT_EQ(lastResult, 1);
}

// --- outline shapes -------------------------------------------------------------

class RecordingText : public TextPainter {
public:
    void DrawText(Surface&, int32_t x, int32_t y, const std::string& text) override {
        calls.push_back({x, y, text});
    }
    struct Call {
        int32_t x, y;
        std::string text;
    };
    std::vector<Call> calls;
};

class OutlineButtonTest : public ::testing::TestWithParam<int32_t> {
protected:
    SkinButton MakeButton(int32_t shape, const char* caption, int32_t brush) {
        SkinButton b;
        b.caption = caption;
        b.x = 5;
        b.y = 6;
        b.width = 30;
        b.height = 20;
        b.shape = shape;
        b.outlineBrush = brush;
        EXPECT_EQ(b.Create(parent, store, 400), 1);
        return b;
    }
    int32_t Draw(const SkinButton& b) {
        target = Surface(30, 20, kBackground);
        return b.DrawItem(DrawItemRequest{400, 0, &target, Rect{0, 0, 30, 20}, &text});
    }

    vc::test::TempDir dir;
    PictureStore store{dir.Path()};
    test::RecordingWindowHost parent{100, 100};
    RecordingText text;
    Surface target;
};

TEST_P(OutlineButtonTest, WindowGetsTheShapeAndTheFaceIsItsFrameWithTheCaption) {
    const int32_t shape = GetParam();
    const SkinButton b = MakeButton(shape, "Go", 0);
    const Region expected = ShapeRegion(shape, 30, 20);
    ASSERT_EQ(parent.created.size(), 1u);
    EXPECT_EQ(parent.created[0].region, expected);
    EXPECT_EQ(b.region, expected);
    ASSERT_EQ(Draw(b), 1);
    const Region frame = expected.Frame();
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 30; ++x) {
            ASSERT_EQ(target.At(x, y), frame.Contains(x, y) ? Rgb(255, 255, 255) : kBackground) << x << "," << y;
        }
    }
    ASSERT_EQ(text.calls.size(), 1u);
    EXPECT_EQ(text.calls[0].x, 10);
    EXPECT_EQ(text.calls[0].y, 10);
    EXPECT_EQ(text.calls[0].text, "Go");
}

TEST_P(OutlineButtonTest, TheStockBrushChoosesTheFrameColourAndANullCaptionDrawsNoText) {
    const SkinButton black = MakeButton(GetParam(), nullptr, 4);
    ASSERT_EQ(Draw(black), 1);
    EXPECT_TRUE(text.calls.empty());
    const Region frame = ShapeRegion(GetParam(), 30, 20).Frame();
    ASSERT_FALSE(frame.IsEmpty());
    const Span first = frame.Spans().front();
    EXPECT_EQ(target.At(first.left, first.y), Rgb(0, 0, 0));
    // The hollow brush (5) and indexes that are no brush frame nothing.
    for (const int32_t brush : {5, 7, -1}) {
        ASSERT_EQ(Draw(MakeButton(GetParam(), nullptr, brush)), 1);
        EXPECT_EQ(target, Surface(30, 20, kBackground)) << brush;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, OutlineButtonTest,
                         ::testing::Values(SHAPE_ELLIPSE, SHAPE_TRIANGLE_UP, SHAPE_TRIANGLE_DOWN));

TEST(SkinButtonShapes, AnUnknownShapeDrawsNothingAndStillReportsDrawn) {
    vc::test::TempDir dir;
    PictureStore store(dir.Path());
    test::RecordingWindowHost parent(50, 50);
    SkinButton b;
    b.width = 8;
    b.height = 8;
    b.shape = 42;
    b.pictureNormal = 143;
    ASSERT_EQ(b.Create(parent, store, 9), 1);
    EXPECT_EQ(b.bitmapNormal, nullptr);  // only picture buttons load pictures
    EXPECT_TRUE(store.Problems().empty());
    Surface target(8, 8, kBackground);
    EXPECT_EQ(b.DrawItem(DrawItemRequest{9, 0, &target, Rect{0, 0, 8, 8}, nullptr}), 1);
    EXPECT_EQ(target, Surface(8, 8, kBackground));
}

}  // namespace
}  // namespace vc::ui
