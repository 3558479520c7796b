// The creation sequence: placement, buttons, outline, measurement, panels,
// start-up application, tray icon and menu, in their order.
#include <cmath>
#include <ostream>

#include "core/board/clock_table.h"
#include "core/board/frequency_stepping.h"
#include "expected_calls.h"
#include "main_window_fixture.h"

namespace vc::ui::test {
namespace {

TEST_F(MainWindowTest, CreationRunsItsStepsInOrder) {
    SetFineTune(1);
    shell.screenSize = ScreenSize{1024, 768};
    window = std::make_unique<MainWindow>(info, *ctx, shell, pictures, MainWindowSetup{dir.Path(), {}});
    ASSERT_EQ(window->OnCreate(), 1);

    const Calls expected = Join({
        {"place 249,276,775,492"},
        Each("create button", {312, 311, 321, 320, 319, 324, 304, 305, 302, 301, 303, 314, 315, 318, 317, 316,
                               322, 326, 325}),
        Each("hide", {301, 302, 303, 304, 305, 314, 315, 316, 317, 318, 322, 325, 326}),
        Each("show", {311, 312, 319, 320, 321, 324}),
        {"outline 114", Invalidated(0, 0, 526, 216), "repaint screen"},
        {"measure"},
        // Help panels: side edges plus help picture wide, title plus bottom
        // edge plus help picture high.
        {"create panel 148 729x388", "create panel 145 729x307", "create panel 146 214x144",
         "create panel 147 400x200", "create panel 188 0x0"},
        {"tray add 101 VelocoreIII", "load menu"},
    });
    EXPECT_EQ(shell.Take(), expected);
    EXPECT_EQ(window->layoutMode(), 1);
    EXPECT_EQ(window->autoOptimized(), 0);
    EXPECT_EQ(window->windowRect(), (Rect{0, 0, 526, 216}));
}

struct Placement {
    ScreenSize screen;
    Rect expected;
};

void PrintTo(const Placement& c, std::ostream* os) {
    *os << "screen " << c.screen.width << "x" << c.screen.height << " -> " << RectText(c.expected);
}

class PlacementTest : public MainWindowTest, public ::testing::WithParamInterface<Placement> {};

// Centred with both halvings truncated toward zero, also on a screen
// smaller than the window.
TEST_P(PlacementTest, CentresOnThePrimaryScreen) {
    shell.screenSize = GetParam().screen;
    Create();
    EXPECT_EQ(shell.windowOnScreen, GetParam().expected);
    EXPECT_TRUE(shell.visible);
}

INSTANTIATE_TEST_SUITE_P(Screens, PlacementTest,
                         ::testing::Values(Placement{{1024, 768}, RectAt(249, 276, 526, 216)},
                                           Placement{{1025, 769}, RectAt(249, 276, 526, 216)},
                                           Placement{{526, 216}, RectAt(0, 0, 526, 216)},
                                           Placement{{500, 201}, RectAt(-13, -7, 526, 216)}));

TEST_F(MainWindowTest, WithoutFineTuneThePairNeverExists) {
    SetFineTune(0);
    Create();
    EXPECT_EQ(window->Button(325), nullptr);
    EXPECT_EQ(window->Button(326), nullptr);
    window->OnCommand(311);
    window->OnCommand(325);
    window->OnCommand(315);
    window->OnCommand(40010);
    for (const std::string& line : shell.log) {
        EXPECT_EQ(line.find("325"), std::string::npos) << line;
        EXPECT_EQ(line.find("326"), std::string::npos) << line;
    }
    EXPECT_EQ(shell.buttons.size(), 17u);
}

TEST_F(MainWindowTest, StartupWithOptimalSourceSwitchesAutoOptimizeOn) {
    const double before = sim->BusClockMHz();
    Create(AutoApplySettings{1, 2});
    EXPECT_EQ(window->autoOptimized(), 1);
    ASSERT_NE(window->Button(312), nullptr);
    EXPECT_EQ(window->Button(312)->onState, 1);
    const std::optional<int32_t> optimal = FindOptimalEntry(info);
    ASSERT_TRUE(optimal.has_value());
    EXPECT_EQ(info.appliedIndex, *optimal);
    const ClockEntry* written = EntryAt(info, *optimal);
    ASSERT_NE(written, nullptr);
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), written->busMHz);
    EXPECT_NE(sim->BusClockMHz(), before);
}

struct StartupCase {
    AutoApplySettings settings;
    bool writes;
    int measurements;  // including creation's own
};

void PrintTo(const StartupCase& c, std::ostream* os) {
    *os << "autoApply " << c.settings.autoApply << " source " << c.settings.autoApplySource
        << (c.writes ? " -> writes, " : " -> no write, ") << c.measurements << " measurements";
}

class StartupApplyTest : public MainWindowTest, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(StartupApplyTest, MeasuresTwiceMoreOnlyWhenSomethingIsApplied) {
    NextEntry(info);  // a selection away from the running entry
    const int32_t selected = info.currentIndex;
    window = std::make_unique<MainWindow>(info, *ctx, shell, pictures, MainWindowSetup{dir.Path(), GetParam().settings});
    ASSERT_EQ(window->OnCreate(), 1);
    const Calls log = shell.Take();
    EXPECT_EQ(std::count(log.begin(), log.end(), "measure"), GetParam().measurements);
    EXPECT_EQ(info.appliedIndex == selected, GetParam().writes);
    EXPECT_EQ(window->autoOptimized(), 0);
}

// The saved source without a sysinfo.dat applies the current selection.
INSTANTIATE_TEST_SUITE_P(Sources, StartupApplyTest,
                         ::testing::Values(StartupCase{{1, 1}, true, 3}, StartupCase{{2, 1}, false, 1},
                                           StartupCase{{0, 0}, false, 1}, StartupCase{{1, 3}, false, 1}));

}  // namespace
}  // namespace vc::ui::test
