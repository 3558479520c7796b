#include "core/ui/animations.h"

#include <gtest/gtest.h>

#include <ostream>

#include "core/board/temp_dir.h"
#include "core/ui/bmp_codec.h"
#include "recording_window_host.h"

namespace vc::ui {
namespace {

constexpr Pixel kScreen = Rgb(5, 5, 5);
constexpr Pixel LitColour(size_t lamp) { return Rgb(200, static_cast<uint8_t>(lamp), 0); }
constexpr Pixel DarkColour(size_t lamp) { return Rgb(50, static_cast<uint8_t>(lamp), 0); }

// The pictures of lamp i, lit and dark.
constexpr int32_t kOnPictures[] = {197, 199, 201, 203, 205, 196};
constexpr int32_t kOffPictures[] = {207, 198, 200, 202, 204, 206};

// Lamp pictures of different sizes, lit and dark in their own colours.
class LampTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (size_t i = 0; i < kLampCount; ++i) {
            const auto width = static_cast<int32_t>(10 + i);
            const auto height = static_cast<int32_t>(20 - i);
            Put(kOnPictures[i], Surface(width, height, LitColour(i)));
            Put(kOffPictures[i], Surface(width, height, DarkColour(i)));
        }
        lamps = LoadLamps(store);
        window.screen = Surface(526, 216, kScreen);
    }
    void Put(int32_t number, const Surface& s) { dir.Write(std::to_string(number) + ".bmp", EncodeBmp(s)); }

    // What each lamp shows now: 'L' lit, 'd' dark, '.' untouched, '?' mixed.
    std::string Gauge() const {
        std::string shown;
        for (size_t i = 0; i < kLampCount; ++i) {
            const Rect r = lamps[i].rect;
            const Pixel corner = window.screen.At(r.left, r.top);
            const bool whole = corner == window.screen.At(r.right - 1, r.bottom - 1);
            shown += !whole ? '?' : corner == LitColour(i) ? 'L' : corner == DarkColour(i) ? 'd' : corner == kScreen ? '.' : '?';
        }
        return shown;
    }

    // The lamp a presented area belongs to.
    int LampAt(const Rect& area) const {
        for (size_t i = 0; i < kLampCount; ++i) {
            if (lamps[i].rect == area) return static_cast<int>(i);
        }
        return -1;
    }

    vc::test::TempDir dir;
    PictureStore store{dir.Path()};
    vc::test::StepClock clock;
    test::RecordingWindowHost window{526, 216, &clock};
    LampSet lamps;
};

TEST_F(LampTest, LampsSitAtTheirPlacesWithTheSizeOfTheirOnImage) {
    const Rect places[] = {{91, 83, 101, 103}, {91, 21, 102, 40},  {149, 21, 161, 39},
                           {202, 21, 215, 38}, {254, 21, 268, 37}, {306, 21, 321, 36}};
    for (size_t i = 0; i < kLampCount; ++i) {
        EXPECT_EQ(lamps[i].rect, places[i]) << i;
        EXPECT_EQ(lamps[i].onImage, store.Get(kOnPictures[i]));
        EXPECT_EQ(lamps[i].offImage, store.Get(kOffPictures[i]));
    }
    EXPECT_TRUE(store.Problems().empty());
}

TEST_F(LampTest, ALampWithoutItsOnImageHasNoSizeAndIsNeverDrawn) {
    std::filesystem::remove(dir.File("201.bmp"));
    PictureStore fresh(dir.Path());
    const LampSet partial = LoadLamps(fresh);
    EXPECT_TRUE(partial[2].rect.IsEmpty());
    ASSERT_EQ(fresh.Problems().size(), 1u);
    EXPECT_EQ(fresh.Problems()[0].stem, "201");
    DrawLamps(window, clock, partial, 6, 1, 0);
    const Surface& s = window.screen;
    EXPECT_EQ(s.At(149, 21), kScreen);
}

TEST_F(LampTest, LitLampsShareThePauseAndDarkLampsWaitItEach) {
    struct Case {
        int32_t count, lit, pauseMs;
        uint32_t eachWaitMs;
        const char* gauge;
    };
    for (const Case c : {Case{3, 1, 200, 66, "LLL..."}, Case{6, 1, 200, 33, "LLLLLL"}, Case{2, 0, 40, 40, "dd...."},
                         Case{1, 1, 200, 200, "L....."}}) {
        SetUp();
        window.presented.clear();
        const uint32_t start = clock.ticks;
        EXPECT_EQ(DrawLamps(window, clock, lamps, c.count, c.lit, c.pauseMs), 1);
        EXPECT_EQ(Gauge(), c.gauge);
        ASSERT_EQ(window.presented.size(), static_cast<size_t>(c.count));
        for (size_t i = 0; i < window.presented.size(); ++i) {
            EXPECT_EQ(LampAt(window.presented[i].area), static_cast<int>(i));
            const uint32_t next = i + 1 < window.presented.size() ? window.presented[i + 1].tick : clock.ticks;
            const uint32_t waited = next - window.presented[i].tick;
            // The busy wait reads the clock once more than the milliseconds it waits.
            EXPECT_GE(waited, c.eachWaitMs) << c.gauge << " lamp " << i;
            EXPECT_LE(waited, c.eachWaitMs + 2) << c.gauge << " lamp " << i;
        }
        EXPECT_LE(clock.ticks - start, static_cast<uint32_t>(c.count) * (c.eachWaitMs + 2));
    }
}

TEST_F(LampTest, NoLampsMeansNoDrawingAndNoWaiting) {
    const uint32_t start = clock.ticks;
    EXPECT_EQ(DrawLamps(window, clock, lamps, 0, 1, 200), 1);
    EXPECT_TRUE(window.presented.empty());
    EXPECT_EQ(clock.ticks, start);
}

TEST_F(LampTest, CountsOutsideTheGaugeAreHeldToIt) {
    EXPECT_EQ(DrawLamps(window, clock, lamps, 9, 1, 60), 1);
    EXPECT_EQ(Gauge(), "LLLLLL");
    EXPECT_EQ(window.presented.size(), 6u);
    const uint32_t start = clock.ticks;
    EXPECT_EQ(DrawLamps(window, clock, lamps, -2, 1, 60), 1);
    EXPECT_EQ(window.presented.size(), 6u);
    EXPECT_EQ(clock.ticks, start);  // no negative wait turned into a very long one
    DrawLamps(window, clock, lamps, 1, 0, -5);
    EXPECT_LE(clock.ticks - start, 2u);
}

TEST_F(LampTest, FlashAnimationSweepsTwiceAndEndsFullyLit) {
    ASSERT_EQ(PlayFlashAnimation(window, clock, lamps, 200), 1);
    EXPECT_EQ(Gauge(), "LLLLLL");

    // Replay the presented areas as a script: each step darkens all six,
    // then lights the first n; two sweeps of two dark steps and one to six.
    const int kSteps[] = {0, 0, 1, 2, 3, 4, 5, 6, 0, 0, 1, 2, 3, 4, 5, 6};
    std::vector<int> lampOrder;
    for (const auto& p : window.presented) lampOrder.push_back(LampAt(p.area));
    std::vector<int> expected;
    for (const int n : kSteps) {
        for (int i = 0; i < 6; ++i) expected.push_back(i);
        for (int i = 0; i < n; ++i) expected.push_back(i);
    }
    EXPECT_EQ(lampOrder, expected);

    // The waits after lit lamps add up to 2392 ms; those after dark lamps are empty.
    uint32_t litWaits = 0, darkWaits = 0;
    size_t at = 0;
    for (const int n : kSteps) {
        for (int i = 0; i < 6 + n; ++i, ++at) {
            const uint32_t next = at + 1 < window.presented.size() ? window.presented[at + 1].tick : clock.ticks;
            const uint32_t waited = next - window.presented[at].tick;
            (i < 6 ? darkWaits : litWaits) += waited;
            if (i < 6) {
                EXPECT_LE(waited, 2u) << "dark lamp " << i;  // a zero pause only reads the clock
            }
        }
    }
    EXPECT_GE(litWaits, 2392u);
    EXPECT_LE(litWaits, 2392u + 42u);  // 42 lit lamps, one extra clock read each
    EXPECT_LE(darkWaits, 96u * 2u);
}

// --- layout transitions ------------------------------------------------------------

// Row r of a face shows Rgb(tag, r, 0); column 0 is the colour key, so the
// keyed frames leave it alone.
Surface Face(uint8_t tag, int32_t height) {
    Surface s(526, height);
    for (int32_t y = 0; y < height; ++y) {
        s.Fill(Rect{0, y, 526, y + 1}, Rgb(tag, static_cast<uint8_t>(y), 0));
        s.Set(0, y, kColourKey);
    }
    return s;
}

constexpr uint8_t kAdvanceTag = 0xA0, kEasyTag = 0xE0;

class TransitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.screen = Surface(526, 216, kScreen);
        window.keepScreens = true;
    }
    vc::test::StepClock clock;
    test::RecordingWindowHost window{526, 216, &clock};
    const Surface advance = Face(kAdvanceTag, 216);
    const Surface easy = Face(kEasyTag, 106);
};

struct TransitionCase {
    const char* what;
    bool toAdvance;
    std::vector<int32_t> tops;
};

void PrintTo(const TransitionCase& c, std::ostream* os) { *os << c.what << ": " << ::testing::PrintToString(c.tops); }

class TransitionFrames : public TransitionTest, public ::testing::WithParamInterface<TransitionCase> {};

TEST_P(TransitionFrames, MovingFaceRisesThroughItsFramesAndLandsOpaquely) {
    const TransitionCase& c = GetParam();
    const Surface& moving = c.toAdvance ? advance : easy;
    const Surface& still = c.toAdvance ? easy : advance;
    const int32_t stillTop = c.toAdvance ? 110 : 0;
    const int32_t landingTop = c.toAdvance ? 0 : 110;
    EXPECT_EQ(c.toAdvance ? TransitionToAdvance(window, clock, &advance, &easy)
                          : TransitionToEasy(window, clock, &advance, &easy),
              1);

    // One opaque copy of the still face, the frames, one opaque landing.
    ASSERT_EQ(window.presented.size(), c.tops.size() + 2);
    const Surface& first = *window.presented.front().screen;
    EXPECT_EQ(first.At(0, stillTop), kColourKey);  // opaque: the key colour is drawn
    EXPECT_EQ(first.At(300, stillTop + 5), still.At(300, 5));

    for (size_t f = 0; f < c.tops.size(); ++f) {
        const auto& frame = window.presented[f + 1];
        const int32_t top = c.tops[f];
        EXPECT_EQ(frame.area, Intersect(RectAt(0, top, 526, moving.Height()), Rect{0, 0, 526, 216})) << top;
        const Surface& s = *frame.screen;
        const Surface& before = *window.presented[f].screen;
        for (int32_t y = top; y < std::min(216, top + moving.Height()); ++y) {
            ASSERT_EQ(s.At(300, y), moving.At(300, y - top)) << "frame at " << top << ", row " << y;
            // Column 0 of the moving face is the colour key: what was there shows through.
            ASSERT_EQ(s.At(0, y), before.At(0, y)) << "frame at " << top << ", row " << y;
        }
        // Earlier frames are not erased: the row above this frame is as it was.
        if (top > 0 && top < 216) {
            EXPECT_EQ(s.At(300, top - 1), before.At(300, top - 1));
        }
        const uint32_t next = window.presented[f + 2].tick;
        EXPECT_GE(next - frame.tick, 100u) << "pause after the frame at " << top;
        EXPECT_LE(next - frame.tick, 102u) << "pause after the frame at " << top;
    }

    const auto& landing = window.presented.back();
    EXPECT_EQ(landing.area, RectAt(0, landingTop, 526, moving.Height()));
    EXPECT_EQ(landing.screen->At(0, landingTop), kColourKey);  // opaque again
    for (int32_t y = 0; y < moving.Height(); ++y) {
        ASSERT_EQ(landing.screen->At(300, landingTop + y), moving.At(300, y));
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, TransitionFrames,
                         ::testing::Values(TransitionCase{"ToAdvance", true, {216, 206, 191, 171, 146, 116, 81, 41}},
                                           TransitionCase{"ToEasy", false, {216, 206, 191, 171, 146, 116}}),
                         [](const auto& p) { return std::string(p.param.what); });

TEST_F(TransitionTest, MissingPicturesDrawNothingButTheFramesStillTakeTheirTime) {
    const uint32_t start = clock.ticks;
    EXPECT_EQ(TransitionToAdvance(window, clock, nullptr, nullptr), 1);
    EXPECT_TRUE(window.presented.empty());
    EXPECT_EQ(window.screen, Surface(526, 216, kScreen));
    EXPECT_GE(clock.ticks - start, 800u);
}

TEST_F(TransitionTest, PicturesSmallerThanTheFixedSizesAreClippedNotOverread) {
    const Surface small(100, 30, Rgb(7, 7, 7));
    TransitionToAdvance(window, clock, &small, &small);
    EXPECT_EQ(window.screen.At(99, 29), Rgb(7, 7, 7));
    EXPECT_EQ(window.screen.At(100, 29), kScreen);
    EXPECT_EQ(window.screen.At(99, 139), Rgb(7, 7, 7));
    EXPECT_EQ(window.screen.At(300, 200), kScreen);
}

}  // namespace
}  // namespace vc::ui
