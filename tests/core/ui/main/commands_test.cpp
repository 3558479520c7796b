// The command table: for each command the calls, states and repaints, in order.
#include <cstdio>
#include <fstream>
#include <ostream>

#include "core/board/clock_table.h"
#include "core/board/frequency_stepping.h"
#include "core/state/settings_file.h"
#include "expected_calls.h"
#include "main_window_fixture.h"

namespace vc::ui::test {
namespace {

std::string Fixed2(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%4.2f", value);
    return text;
}

Calls CpuInfoFields(const SystemInfo& info) {
    return {"panel text 147 1039 [" + Fixed2(info.cpu.cpuClockMHz) + "]",
            "panel text 147 1040 [" + Fixed2(info.cpu.busClockMHz) + "]"};
}

struct StepCase {
    const char* name;
    uint32_t command;
    int32_t startOffset;  // from the default entry, or kFirst / kLast
    int32_t expectedOffset;
};

constexpr int32_t kFirst = -1000;
constexpr int32_t kLast = 1000;

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.name << ": command " << c.command << " from " << c.startOffset << " -> " << c.expectedOffset;
}

class SteppingTest : public MainWindowTest, public ::testing::WithParamInterface<StepCase> {};

int32_t Resolve(int32_t offset, const SystemInfo& info) {
    if (offset == kFirst) return 1;
    if (offset == kLast) return info.board.clockGen->entryCount;
    return info.defaultIndex + offset;
}

// Stepping moves the selection within the table and always repaints the
// four displays; the chip is not written.
TEST_P(SteppingTest, MovesTheSelectionAndRepaints) {
    CreateInAdvance();
    const double chipBefore = sim->BusClockMHz();
    info.currentIndex = Resolve(GetParam().startOffset, info);
    RefreshEntry(info);
    EXPECT_EQ(Run(GetParam().command), FourDisplays());
    EXPECT_EQ(info.currentIndex, Resolve(GetParam().expectedOffset, info));
    const ClockEntry* selected = EntryAt(info, info.currentIndex);
    ASSERT_NE(selected, nullptr);
    EXPECT_DOUBLE_EQ(info.busClockMHz, selected->busMHz);
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), chipBefore);
}

INSTANTIATE_TEST_SUITE_P(Commands, SteppingTest,
                         ::testing::Values(StepCase{"Up", 304, 0, 1}, StepCase{"Down", 305, 0, -1},
                                           StepCase{"UpAtLast", 304, kLast, kLast},
                                           StepCase{"DownAtFirst", 305, kFirst, kFirst},
                                           StepCase{"Default", 314, 2, 0}),
                         [](const auto& p) { return std::string(p.param.name); });

// An owner-drawn button's double-click notification (code 5) is no command.
TEST_F(MainWindowTest, DoubleClickNotificationIsIgnored) {
    CreateInAdvance();
    const int32_t start = info.currentIndex;
    Run(304);
    EXPECT_EQ(Run((5u << 16) | 304u), Calls{});
    EXPECT_EQ(info.currentIndex, start + 1);
}

TEST_F(MainWindowTest, UnknownAndInertCommandsDoNothing) {
    SetFineTune(1);
    CreateInAdvance();
    for (uint32_t command : {326u, 0u, 300u, 313u, 323u, 40012u, 65535u}) {
        EXPECT_EQ(Run(command), Calls{}) << command;
    }
}

TEST_F(MainWindowTest, GoWritesTheSelectionAndFillsTheCpuInfoFields) {
    CreateInAdvance();
    Run(304);
    const ClockEntry* selected = EntryAt(info, info.currentIndex);
    ASSERT_NE(selected, nullptr);
    const uint64_t pressedAtPs = sim->NowPs();
    const size_t measuredBefore = clock.measuredAtPs.size();
    const Calls calls = Run(303);
    // The gauge flashes, then two measurements, then the fields; nothing
    // is invalidated, so the lit gauge stays.
    EXPECT_EQ(calls, Join({{"present*", "measure", "measure"}, CpuInfoFields(info)}));
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), selected->busMHz);
    EXPECT_EQ(info.appliedIndex, info.currentIndex);
    EXPECT_NEAR(info.cpu.cpuClockMHz, info.multiplier * selected->busMHz, 1.5);
    // Twelve lit steps of 200 ms each (shared by their lamps, so 198 with
    // three or six lit); the write and the identification waits of the
    // first measurement add some tens of milliseconds before it reads the
    // counter.
    ASSERT_GT(clock.measuredAtPs.size(), measuredBefore);
    const uint64_t untilMeasuredMs = (clock.measuredAtPs[measuredBefore] - pressedAtPs) / 1'000'000'000;
    EXPECT_GE(untilMeasuredMs, 2392u);
    EXPECT_LT(untilMeasuredMs, 2392u + 100u);
}

// The board's clock generator acknowledges every byte and keeps its clock.
class IgnoringChipWindowTest : public MainWindowTest {
protected:
    IgnoringChipWindowTest() : MainWindowTest(Board()) {}
    static sim::MachineDescription Board() {
        sim::MachineDescription board = sim::test::VirtualDefault();
        board.chip.ignoresWrites = true;
        return board;
    }
};

TEST_F(IgnoringChipWindowTest, GoSaysOnceThatTheChipKeptItsClockAfterTheFields) {
    CreateInAdvance();
    Run(304);  // from the 100.2 MHz entry the board runs at (100.0) to 103.0
    const Calls calls = Run(303);
    EXPECT_EQ(calls, Join({{"present*", "measure", "measure"}, CpuInfoFields(info),
                           {"message Message: The clock generator did not take the new frequency: the bus "
                            "runs at 100.00 MHz, not 103.00 MHz.\n"}}));
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), 100.0);
}

TEST_F(MainWindowTest, SaveThenLoadBringsTheSelectionBack) {
    CreateInAdvance();
    Run(304);
    const int32_t saved = info.currentIndex;
    EXPECT_EQ(Run(301), Calls{});
    Run(314);
    ASSERT_NE(info.currentIndex, saved);
    EXPECT_EQ(Run(302), Join({FourDisplays(), {"message Message: Setting Load OK"}}));
    EXPECT_EQ(info.currentIndex, saved);
    EXPECT_NE(info.appliedIndex, saved);  // loading writes nothing
}

TEST_F(MainWindowTest, LoadOfNothingOrAForeignFileChangesNothing) {
    CreateInAdvance();
    const Calls failure{"message Message: Setting Load Failure,Maybe no data or data not match"};
    Run(304);
    const int32_t index = info.currentIndex;
    EXPECT_EQ(Run(302), failure);
    EXPECT_EQ(info.currentIndex, index);

    SavedSetting foreign = SettingFrom(info);
    foreign.multiplier += 0.5;
    dir.Write(kSettingsFileName, EncodeSetting(foreign));
    EXPECT_EQ(Run(302), failure);
    EXPECT_EQ(info.currentIndex, index);
}

TEST_F(MainWindowTest, AutoOptimizeOpensTheProgressPopupWhileNotOptimized) {
    Create();
    EXPECT_EQ(Run(312), Calls{"panel show 188"});
    EXPECT_EQ(window->autoOptimized(), 0);
}

TEST_F(MainWindowTest, AutoOverclockMarksTheOptimalEntryAndRepaints) {
    Create();
    EXPECT_EQ(window->AutoOverclock(), 1);
    EXPECT_EQ(shell.Take(), (Calls{"measure", "measure", Invalidated(40, 161, 136, 193),
                                   Invalidated(173, 179, 286, 203)}));
    EXPECT_EQ(window->autoOptimized(), 1);
    EXPECT_EQ(window->Button(312)->onState, 1);
    EXPECT_EQ(info.appliedIndex, FindOptimalEntry(info).value());
}

// Pressed while optimised: back to the default entry, written, measured
// four times, and the popup only on the next press.
TEST_F(MainWindowTest, AutoOptimizeRestoresTheDefaultWhenOptimized) {
    Create();
    window->AutoOverclock();
    ASSERT_NE(info.appliedIndex, info.defaultIndex);
    shell.Take();

    const Calls calls = Run(312);
    EXPECT_EQ(calls, Join({{"measure", "measure", Invalidated(40, 161, 136, 193), Invalidated(173, 179, 286, 203),
                            "measure", "measure"},
                           CpuInfoFields(info)}));
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), EntryAt(info, info.defaultIndex)->busMHz);
    EXPECT_EQ(info.currentIndex, info.defaultIndex);
    EXPECT_EQ(info.appliedIndex, info.defaultIndex);
    EXPECT_EQ(window->autoOptimized(), 0);
    EXPECT_EQ(window->Button(312)->onState, 0);
    EXPECT_EQ(Run(312), Calls{"panel show 188"});
}

struct ToggleCase {
    int32_t button;
    bool advance;
    int32_t panel;
    bool measures;
    Rect buttonRect;
};

void PrintTo(const ToggleCase& c, std::ostream* os) {
    *os << "button " << c.button << (c.advance ? " in advance" : " in easy") << " -> panel " << c.panel
        << (c.measures ? ", measures" : "") << ", button at " << RectText(c.buttonRect);
}

class PanelToggleTest : public MainWindowTest, public ::testing::WithParamInterface<ToggleCase> {};

// Opening measures first for the CPU info buttons only; closing never does.
TEST_P(PanelToggleTest, OpensAndClosesItsPanel) {
    const ToggleCase& c = GetParam();
    if (c.advance) {
        CreateInAdvance();
    } else {
        Create();
    }
    const Rect& r = c.buttonRect;
    const std::string repaint = ButtonInvalidated(r.left, r.top, r.right, r.bottom);
    const std::string panel = std::to_string(c.panel);
    const auto button = static_cast<uint32_t>(c.button);

    Calls open = c.measures ? Calls{"measure"} : Calls{};
    open.insert(open.end(), {"panel show " + panel, repaint});
    EXPECT_EQ(Run(button), open);
    EXPECT_EQ(window->Button(c.button)->onState, 1);
    EXPECT_EQ(Run(button), (Calls{"panel hide " + panel, repaint}));
    EXPECT_EQ(window->Button(c.button)->onState, 0);
}

// buttonRect holds x, y, width, height.
INSTANTIATE_TEST_SUITE_P(Buttons, PanelToggleTest,
                         ::testing::Values(ToggleCase{316, true, 148, false, {430, 184, 77, 20}},
                                           ToggleCase{317, true, 147, true, {430, 158, 77, 20}},
                                           ToggleCase{319, false, 145, false, {427, 183, 77, 20}},
                                           ToggleCase{320, false, 147, true, {427, 157, 77, 20}},
                                           ToggleCase{322, true, 146, false, {27, 119, 25, 25}},
                                           ToggleCase{324, false, 146, false, {20, 121, 25, 25}}));

// Each button of a shared panel keeps its own onState.
TEST_F(MainWindowTest, SharedPanelButtonsKeepTheirOwnState) {
    Create();
    Run(320);
    Run(311);  // leaving Easy closes it and clears 320
    EXPECT_EQ(Run(317), (Calls{"measure", "panel show 147", ButtonInvalidated(430, 158, 77, 20)}));
    EXPECT_EQ(window->Button(320)->onState, 0);
}

struct VisibilityCase {
    uint32_t command;
    Calls expected;
    bool visibleAfter;
};

void PrintTo(const VisibilityCase& c, std::ostream* os) {
    *os << "command " << c.command << " -> " << ::testing::PrintToString(c.expected)
        << (c.visibleAfter ? ", visible" : ", hidden");
}

class VisibilityTest : public MainWindowTest, public ::testing::WithParamInterface<VisibilityCase> {};

TEST_P(VisibilityTest, HidesOrShowsWithTheMenuStates) {
    Create();
    Run(321);  // start hidden, so showing is seen too
    EXPECT_EQ(Run(GetParam().command), GetParam().expected);
    EXPECT_EQ(shell.visible, GetParam().visibleAfter);
    EXPECT_EQ(shell.menuEnabled.at(40017), !GetParam().visibleAfter);
    EXPECT_EQ(shell.menuEnabled.at(40015), GetParam().visibleAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, VisibilityTest,
    ::testing::Values(VisibilityCase{321, {"menu 40017 enable", "menu 40015 gray", "window hide"}, false},
                      VisibilityCase{318, {"menu 40017 enable", "menu 40015 gray", "window hide"}, false},
                      VisibilityCase{40015, {"window hide", "menu 40015 gray", "menu 40017 enable"}, false},
                      VisibilityCase{40017, {"window show", "menu 40017 gray", "menu 40015 enable"}, true}));

TEST_F(MainWindowTest, HidingLeavesOpenPanelsOpen) {
    Create();
    Run(319);
    const Calls calls = Run(40015);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& l) { return l.rfind("panel", 0) == 0; }),
              0);
    EXPECT_EQ(window->Button(319)->onState, 1);
}

TEST_F(MainWindowTest, ExitRemovesTheTrayIconBeforeClosing) {
    CreateInAdvance();
    Run(303);
    const double written = sim->BusClockMHz();
    EXPECT_EQ(Run(40016), (Calls{"tray remove 101", "close"}));
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), written);
}

TEST_F(MainWindowTest, FineTuneIndicatorTogglesItsFaceOnly) {
    SetFineTune(1);
    CreateInAdvance();
    const double bus = info.busClockMHz;
    const double cpu = info.cpuClockMHz;
    const Calls expected = Join({{Invalidated(18, 157, 48, 176)}, FourDisplays()});
    EXPECT_EQ(Run(325), expected);
    EXPECT_EQ(window->Button(325)->onState, 1);
    EXPECT_EQ(Run(325), expected);
    EXPECT_EQ(window->Button(325)->onState, 0);
    window->Button(325)->onState = 7;  // any other value counts as set
    Run(325);
    EXPECT_EQ(window->Button(325)->onState, 0);
    EXPECT_DOUBLE_EQ(info.busClockMHz, bus);
    EXPECT_DOUBLE_EQ(info.cpuClockMHz, cpu);
}

}  // namespace
}  // namespace vc::ui::test
