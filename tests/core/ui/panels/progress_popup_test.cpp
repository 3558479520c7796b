// The progress popup on a virtual clock: the twelve texts, the strip, the
// write at the thirteenth tick, Esc, showing again and going back.
#include <algorithm>

#include "core/ui/panels/progress_popup.h"
#include "core/ui/picture_catalogue.h"
#include "panels_fixture.h"

namespace vc::ui::test {
namespace {

class ProgressPopupTest : public PanelsTest {
protected:
    void StartRun() {
        Create();
        window->OnCommand(kButtonAutoOptimize);
        TakeAll();
    }
    FakePanelWindow& Popup() { return Panel(kPanelProgress); }
    ProgressPopup& PopupModel() { return static_cast<ProgressPopup&>(shell.Model(kPanelProgress)); }
    int MeasurementsIn(const std::vector<std::string>& log) {
        return static_cast<int>(std::count(log.begin(), log.end(), "measure"));
    }
};

TEST_F(ProgressPopupTest, RunsTheTwelveTextsEveryHalfSecondWithoutTouchingTheChip) {
    StartRun();
    const double busBefore = sim->BusClockMHz();
    for (size_t stage = 0; stage < kProgressStatusTexts.size(); ++stage) {
        SCOPED_TRACE(stage);
        const auto due = static_cast<int64_t>(500 * (stage + 1));
        Advance(due - 1);
        if (stage > 0) {
            EXPECT_EQ(Popup().Text(kFieldProgressStatus), kProgressStatusTexts[stage - 1]);
        }
        Advance(due);
        EXPECT_EQ(Popup().Text(kFieldProgressStatus), kProgressStatusTexts[stage]);
        EXPECT_TRUE(Popup().visible);
        EXPECT_DOUBLE_EQ(sim->BusClockMHz(), busBefore);
    }
    EXPECT_EQ(window->autoOptimized(), 0);
}

TEST_F(ProgressPopupTest, WritesTheOptimalEntryAtSixAndAHalfSeconds) {
    StartRun();
    const double busBefore = sim->BusClockMHz();
    ASSERT_GT(OptimalBusMHz(), busBefore + 1.0);  // or the test proves nothing
    Advance(6499);
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), busBefore);
    EXPECT_EQ(window->autoOptimized(), 0);
    shell.Take();

    Advance(6500);
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), OptimalBusMHz());
    EXPECT_EQ(window->autoOptimized(), 1);
    EXPECT_EQ(window->Button(kButtonAutoOptimize)->onState, 1);
    EXPECT_FALSE(Popup().visible);
    EXPECT_FALSE(shell.timers.Running(&Popup(), kProgressTextTimer));
    // Ready for the next showing: "Analysis." and the counter at 1.
    EXPECT_EQ(Popup().Text(kFieldProgressStatus), "Analysis.");
    EXPECT_EQ(PopupModel().stageCounter(), 1);

    // Two measurements in AutoOverclock and two more after it; the panel
    // shows the last, which sees the new bus clock.
    const std::vector<std::string> log = shell.Take();
    EXPECT_EQ(MeasurementsIn(log), 4);
    EXPECT_NE(std::find(log.begin(), log.end(), "invalidate 40,161,136,193 erase"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "invalidate 173,179,286,203 erase"), log.end());
    FakePanelWindow& cpuPanel = Panel(kPanelCpuInfo);
    EXPECT_EQ(cpuPanel.Text(kFieldInternalClock), Fixed2(info.cpu.cpuClockMHz));
    EXPECT_EQ(cpuPanel.Text(kFieldExternalClock), Fixed2(info.cpu.busClockMHz));
    EXPECT_NEAR(info.cpu.busClockMHz, OptimalBusMHz(), 0.5);

    // Nothing more happens afterwards.
    Advance(20000);
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), OptimalBusMHz());
    EXPECT_EQ(MeasurementsIn(shell.Take()), 0);
}

TEST_F(ProgressPopupTest, StripStopsAtItsFirstTickAfterTheTwelfthTextAndRepaintsItsArea) {
    StartRun();
    const double busBefore = sim->BusClockMHz();
    Advance(5999);
    EXPECT_TRUE(shell.timers.Running(&Popup(), kProgressStripTimer));
    shell.Take();
    Advance(6000);
    EXPECT_FALSE(shell.timers.Running(&Popup(), kProgressStripTimer));
    const std::vector<std::string> log = shell.Take();
    EXPECT_NE(std::find(log.begin(), log.end(), "invalidate 53,141,125,151 erase"), log.end());
    // Still no write: that waits for the text timer at 6.5 s.
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), busBefore);
    const int presentsAtStop = shell.presents;
    Advance(6499);
    EXPECT_EQ(shell.presents, presentsAtStop);
}

// The strip starts at frame 11 and each tick starts one frame earlier, so
// the pattern moves one cell to the right.
TEST_F(ProgressPopupTest, StripShowsTwelveCellsOfFollowingFramesMovingRight) {
    StartRun();
    auto cellShows = [&](int32_t cell, int32_t frame) {
        const Surface* picture = pictures.Get(kStripFramePictures[static_cast<size_t>(frame)]);
        for (int32_t y = 0; y < kStripCellHeight; ++y) {
            for (int32_t x = 0; x < kStripCellWidth; ++x) {
                if (shell.screen.At(kStripLeft + cell * kStripStep + x, kStripTop + y) != picture->At(x, y)) {
                    return false;
                }
            }
        }
        return true;
    };
    Advance(100);
    EXPECT_EQ(PopupModel().stripFrame(), 11);
    for (int32_t cell = 0; cell < 12; ++cell) EXPECT_TRUE(cellShows(cell, (11 + cell) % 12)) << cell;
    Advance(200);
    EXPECT_EQ(PopupModel().stripFrame(), 10);
    for (int32_t cell = 0; cell < 12; ++cell) EXPECT_TRUE(cellShows(cell, (10 + cell) % 12)) << cell;
    // Nothing beyond the twelfth cell is drawn.
    EXPECT_EQ(shell.screen.At(kStripArea.right, kStripTop), Surface(526, 216).At(0, 0));
    Advance(1200);
    EXPECT_EQ(PopupModel().stripFrame(), 0);
    Advance(1300);
    EXPECT_EQ(PopupModel().stripFrame(), 11);  // from 0 round to 11
}

TEST_F(ProgressPopupTest, ShowingAgainStartsOverAtAnalysisAndFrameEleven) {
    StartRun();
    Advance(6500);
    window->OnCommand(kButtonAutoOptimize);  // back to the default entry
    EXPECT_EQ(window->autoOptimized(), 0);
    const int64_t start = 7000;
    Advance(start);
    window->OnCommand(kButtonAutoOptimize);
    EXPECT_TRUE(Popup().visible);
    EXPECT_EQ(PopupModel().stageCounter(), 0);
    Advance(start + 100);
    EXPECT_EQ(PopupModel().stripFrame(), 11);
    Advance(start + 500);
    EXPECT_EQ(Popup().Text(kFieldProgressStatus), "Analysis.");
    Advance(start + 1000);
    EXPECT_EQ(Popup().Text(kFieldProgressStatus), "Analysis..");
    Advance(start + 6499);
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), DefaultBusMHz());
    Advance(start + 6500);
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), OptimalBusMHz());
}

TEST_F(ProgressPopupTest, EnterOrEscHidesThePopupButTheRunCompletes) {
    for (uint32_t command : {1u, 2u}) {
        SCOPED_TRACE(command);
        sim->SetBusClockMHz(DefaultBusMHz());
        StartRun();
        Advance(1000);
        shell.Model(kPanelProgress).OnCommand(command);
        EXPECT_FALSE(Popup().visible);
        Advance(6499);
        EXPECT_DOUBLE_EQ(sim->BusClockMHz(), DefaultBusMHz());
        Advance(6500);
        EXPECT_DOUBLE_EQ(sim->BusClockMHz(), OptimalBusMHz());
        EXPECT_EQ(window->autoOptimized(), 1);
        shell.timers = VirtualTimers{};
    }
}

TEST_F(ProgressPopupTest, AutoOptimizePressedAgainRestoresTheDefaultWithoutThePopup) {
    StartRun();
    Advance(6500);
    TakeAll();
    window->OnCommand(kButtonAutoOptimize);
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), DefaultBusMHz());
    EXPECT_EQ(window->autoOptimized(), 0);
    EXPECT_EQ(window->Button(kButtonAutoOptimize)->onState, 0);
    EXPECT_FALSE(Popup().visible);
    EXPECT_FALSE(shell.timers.Running(&Popup(), kProgressTextTimer));
    EXPECT_EQ(Panel(kPanelCpuInfo).Text(kFieldExternalClock), Fixed2(info.cpu.busClockMHz));
    EXPECT_NEAR(info.cpu.busClockMHz, DefaultBusMHz(), 0.5);
}

// Centred over the main window below its top 110 pixels, halves truncated:
// the main window sits centred on 1024 x 768 at (249, 276), the popup is
// 114 x 24 dialog units = 228 x 48 pixels.
TEST_F(ProgressPopupTest, IsPlacedOverTheLowerPartOfTheMainWindowWhenShown) {
    StartRun();
    EXPECT_EQ(Popup().rect, RectAt(249 + 149, 276 + 110 + 29, 228, 48));
    // Where the main window is when the popup shows counts, also off screen.
    Advance(6500);
    shell.windowOnScreen = RectAt(-301, -51, 526, 216);
    window->OnCommand(kButtonAutoOptimize);
    window->OnCommand(kButtonAutoOptimize);
    EXPECT_EQ(Popup().rect, RectAt(-301 + 149, -51 + 110 + 29, 228, 48));
}

}  // namespace
}  // namespace vc::ui::test
