// The start-up application's guard on the desktop program's model: a clock
// that hung the machine at one start is not applied at the next; one that
// lasts leaves nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "core/app/detection.h"
#include "core/board/temp_dir.h"
#include "core/state/atomic_file.h"
#include "core/state/auto_apply_file.h"
#include "core/state/pending_startup_file.h"
#include "core/ui/main/main_window.h"
#include "recording_main_shell.h"
#include "sim/sim_fixtures.h"
#include "sim/sim_machine.h"

namespace vc::ui::test {
namespace {

constexpr AutoApplySettings kApplyOptimal{kAutoApplyYes, kAutoApplySourceOptimal};

// One start of the program: a machine freshly built from `board` (power-on
// or reset), detection, then the main window's creation with save.dat asking
// for the optimal entry.
struct Start {
    Start(const sim::MachineDescription& board, const std::string& dir) : sim(board) {
        Context detect{sim, shell, kOsOther, std::string(VC_SOURCE_DIR) + "/data"};
        EXPECT_EQ(DetectSystem(info, detect), 1);
        ctx = std::make_unique<Context>(Context{sim, shell, detect.osKind, detect.dataDirectory});
        sim.ClearTrace();
        shell.Take();
        window = std::make_unique<MainWindow>(info, *ctx, shell, pictures, MainWindowSetup{dir, kApplyOptimal});
        EXPECT_EQ(window->OnCreate(), 1);
    }

    sim::SimMachine sim;
    RecordingMainShell shell;
    SystemInfo info;
    std::unique_ptr<Context> ctx;
    PictureStore pictures{std::string(VC_SOURCE_DIR) + "/resources"};
    std::unique_ptr<MainWindow> window;
};

std::vector<std::string> Messages(const std::vector<std::string>& log) {
    std::vector<std::string> messages;
    for (const std::string& line : log)
        if (line.starts_with("message ")) messages.push_back(line);
    return messages;
}

TEST(StartupGuardTest, AClockThatHungIsSkippedOnceThenAppliedAgain) {
    sim::MachineDescription board = sim::test::VirtualDefault();
    board.faults.hangAboveBusMHz = board.board.bootBusMHz;
    vc::test::TempDir dir;
    ASSERT_EQ(WriteAutoApplySettings(dir.Path(), kApplyOptimal), 1);
    const auto saveDat = ReadFileBytes(AutoApplyPath(dir.Path()), 64);

    int32_t hungEntry = 0;
    {
        Start first(board, dir.Path());
        ASSERT_TRUE(first.sim.Hung());
        hungEntry = first.info.appliedIndex;
        const PendingStartupFound left = ReadPendingStartup(dir.Path());
        ASSERT_TRUE(left.record.has_value());
        EXPECT_EQ(left.record->index, hungEntry);
        EXPECT_EQ(left.record->source, kAutoApplySourceOptimal);
        EXPECT_DOUBLE_EQ(left.record->busMHz, first.sim.BusClockMHz());
        EXPECT_EQ(std::string(left.record->biosId), "6BXE-R1.2");
    }  // hung: the timer never ticks, Exit never comes

    {
        Start second(board, dir.Path());
        EXPECT_FALSE(second.sim.Hung());
        EXPECT_DOUBLE_EQ(second.sim.BusClockMHz(), board.board.bootBusMHz);
        for (const std::string& line : second.sim.TraceLines()) EXPECT_EQ(line.find("select"), std::string::npos) << line;
        const std::vector<std::string> log = second.shell.Take();
        const auto messages = Messages(log);
        ASSERT_EQ(messages.size(), 1u);
        // The icon is in the tray before the message asks for attention.
        const auto trayAt = std::find(log.begin(), log.end(), "tray add 101 VelocoreIII");
        EXPECT_LT(trayAt - log.begin(), std::find(log.begin(), log.end(), messages[0]) - log.begin());
        EXPECT_TRUE(messages[0].starts_with("message Message: The frequency applied automatically")) << messages[0];
        EXPECT_NE(messages[0].find("(entry " + std::to_string(hungEntry) + ", "), std::string::npos) << messages[0];
        EXPECT_FALSE(ReadPendingStartup(dir.Path()).present);
        EXPECT_TRUE(second.shell.timers.empty());
        EXPECT_EQ(second.window->autoOptimized(), 0);
        EXPECT_EQ(ReadFileBytes(AutoApplyPath(dir.Path()), 64), saveDat);
    }

    Start third(board, dir.Path());
    EXPECT_TRUE(third.sim.Hung());
    EXPECT_TRUE(Messages(third.shell.log).empty());
    EXPECT_TRUE(ReadPendingStartup(dir.Path()).present);
}

// A minute of running (the timer, as the test drives it), Exit, or any
// other orderly end (the window closed, the session's end, a termination
// signal: the shells report each as OnEnding) settles it, and the next
// start applies the choice again.
TEST(StartupGuardTest, AClockThatLastsLeavesNoPendingRecord) {
    const sim::MachineDescription board = sim::test::VirtualDefault();
    for (const char* end : {"timer", "exit", "ending"}) {
        SCOPED_TRACE(end);
        vc::test::TempDir dir;
        {
            Start start(board, dir.Path());
            ASSERT_TRUE(ReadPendingStartup(dir.Path()).present);
            EXPECT_EQ(start.shell.timers, (std::map<int32_t, int32_t>{{kTimerStartupSettled, 60000}}));
            start.window->OnTimer(kTimerStartupSettled + 1);  // not ours: nothing happens
            EXPECT_TRUE(ReadPendingStartup(dir.Path()).present);
            if (std::string(end) == "timer") start.window->OnTimer(kTimerStartupSettled);
            else if (std::string(end) == "exit") start.window->OnCommand(kMenuExit);
            else start.window->OnEnding();
            EXPECT_FALSE(ReadPendingStartup(dir.Path()).present);
            EXPECT_TRUE(start.shell.timers.empty());
            start.window->OnEnding();  // a second report of the end changes nothing
            EXPECT_FALSE(ReadPendingStartup(dir.Path()).present);
        }
        Start next(board, dir.Path());
        EXPECT_TRUE(Messages(next.shell.log).empty());
        EXPECT_TRUE(ReadPendingStartup(dir.Path()).present);
        EXPECT_EQ(next.window->autoOptimized(), 1);
    }
}

}  // namespace
}  // namespace vc::ui::test
