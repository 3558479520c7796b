// The two layout switches in their exact order, and painting per layout.
#include <ostream>

#include "core/ui/main/main_face.h"
#include "expected_calls.h"
#include "main_window_fixture.h"

namespace vc::ui::test {
namespace {

const Calls kHideAll = Each("hide", {311, 312, 319, 320, 321, 324, 301, 302, 303, 304, 305, 314, 315, 316, 317,
                                     318, 322, 325, 326});

TEST_F(MainWindowTest, AdvanceSwitchRunsInOrder) {
    SetFineTune(1);
    Create();
    window->OnCommand(320);  // CPU info open: the switch closes it
    shell.Take();
    ASSERT_EQ(window->Button(320)->onState, 1);

    const Calls expected = Join({
        {"menu 40011 enable", "menu 40010 gray"},
        {"panel hide 146", "panel hide 145", "panel hide 147"},
        {ButtonInvalidated(20, 121, 25, 25), ButtonInvalidated(427, 157, 77, 20), ButtonInvalidated(427, 183, 77, 20)},
        kHideAll,
        {"outline 307", Invalidated(0, 0, 526, 216), "repaint screen"},
        {Invalidated(0, 0, 526, 216)},
        {"present*"},
        Each("show", {301, 302, 303, 304, 305, 314, 315, 316, 317, 318, 322, 325, 326}),
        Each("hide", {311, 312, 319, 320, 321, 324}),
    });
    EXPECT_EQ(Run(311), expected);
    EXPECT_EQ(window->layoutMode(), 2);
    EXPECT_EQ(window->Button(320)->onState, 0);
}

struct EasySwitch {
    uint32_t command;
    int measurements;
};

void PrintTo(const EasySwitch& c, std::ostream* os) {
    *os << "command " << c.command << " -> " << c.measurements << " measurements";
}

class EasySwitchTest : public MainWindowTest, public ::testing::WithParamInterface<EasySwitch> {};

// The Easy face rises inside the Advance outline, which shrinks only after;
// the menu item measures twice, the button once.
TEST_P(EasySwitchTest, RunsInOrder) {
    SetFineTune(1);
    CreateInAdvance();
    const Calls expected = Join({
        {"menu 40011 gray", "menu 40010 enable"},
        {"panel hide 146", "panel hide 148", "panel hide 147"},
        {ButtonInvalidated(27, 119, 25, 25), ButtonInvalidated(430, 158, 77, 20), ButtonInvalidated(430, 184, 77, 20)},
        kHideAll,
        {Invalidated(0, 0, 526, 216)},
        {"present*"},
        {"outline 114", Invalidated(0, 0, 526, 216), "repaint screen"},
        Each("hide", {301, 302, 303, 304, 305, 314, 315, 316, 317, 318, 322, 325, 326}),
        Each("show", {311, 312, 319, 320, 321, 324}),
        Repeat("measure", GetParam().measurements),
    });
    EXPECT_EQ(Run(GetParam().command), expected);
    EXPECT_EQ(window->layoutMode(), 1);
}

INSTANTIATE_TEST_SUITE_P(Choices, EasySwitchTest, ::testing::Values(EasySwitch{315, 1}, EasySwitch{40011, 2}));

TEST_F(MainWindowTest, EasySwitchClosesTheAdvanceHelpPanel) {
    CreateInAdvance();
    Run(316);
    ASSERT_EQ(window->Button(316)->onState, 1);
    const Calls calls = Run(315);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "panel hide 148"), calls.end());
    EXPECT_EQ(window->Button(316)->onState, 0);
    // Back in Advance the Help button opens the panel again at the first press.
    Run(311);
    EXPECT_EQ(Run(316), (Calls{"panel show 148", ButtonInvalidated(430, 184, 77, 20)}));
}

TEST_F(MainWindowTest, AdvanceModeWhileHiddenStaysHidden) {
    Create();
    Run(40015);
    ASSERT_FALSE(shell.visible);
    const Calls calls = Run(40010);
    EXPECT_FALSE(shell.visible);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "window show"), 0);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "present*"), calls.end());  // the transition still runs
    EXPECT_EQ(window->layoutMode(), 2);
    // Showing again shows the Advance layout.
    Run(40017);
    EXPECT_TRUE(shell.visible);
    EXPECT_TRUE(shell.childVisible.at(303));
    EXPECT_FALSE(shell.childVisible.at(312));
}

TEST_F(MainWindowTest, SwitchingTwiceRepeatsTheTransition) {
    CreateInAdvance();
    const Calls calls = Run(40010);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "present*"), calls.end());
    EXPECT_EQ(window->layoutMode(), 2);
}

// Painting draws the layout's face as the face painter does, and a zero
// PCI or memory clock leaves the background showing in its display.
TEST_F(MainWindowTest, PaintsTheCurrentLayout) {
    Create();
    MainFonts fonts;
    fonts.Load(pictures);

    Surface expected(526, 216);
    PaintMainFace(expected, pictures, fonts, info, Layout::Easy);
    window->OnPaint();
    EXPECT_TRUE(shell.screen == expected);

    window->OnCommand(311);
    info.pciClockMHz = 0.0;
    info.memClockMHz = 0.0;
    window->OnPaint();
    Surface background(526, 216);
    DrawPicture(background, pictures.Get(136), 0, 0);
    for (const Rect& area : {Rect{178, 149, 226, 169}, Rect{177, 185, 225, 205}}) {
        for (int32_t y = area.top; y < area.bottom; ++y) {
            for (int32_t x = area.left; x < area.right; ++x) {
                ASSERT_EQ(shell.screen.At(x, y), background.At(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_FALSE(shell.screen == background);  // the bus and processor displays are drawn

    // A non-zero PCI clock is drawn over the same area.
    info.pciClockMHz = 33.0;
    window->OnPaint();
    bool changed = false;
    for (int32_t y = 149; y < 169; ++y) {
        for (int32_t x = 178; x < 226; ++x) changed = changed || shell.screen.At(x, y) != background.At(x, y);
    }
    EXPECT_TRUE(changed);
}

}  // namespace
}  // namespace vc::ui::test
