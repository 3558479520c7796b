// A main window on the default simulated board (virtual time), detected for
// real, with a clock that writes "measure" into the window's log at every
// processor clock measurement, and the shipped pictures and data files.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/app/detection.h"
#include "core/board/temp_dir.h"
#include "core/ui/main/main_window.h"
#include "recording_main_shell.h"
#include "sim/sim_fixtures.h"

namespace vc::ui::test {

// The simulated board's clock, writing "measure" into the log at every
// processor clock measurement, which starts by asking the counter's
// frequency once, and keeping the board's time when it did.
class MeasureLoggingClock final : public Clock {
public:
    MeasureLoggingClock(sim::SimMachine& board, std::vector<std::string>& log) : board_(board), log_(log) {}
    bool QueryPerformanceFrequency(uint64_t& f) override {
        log_.push_back("measure");
        measuredAtPs.push_back(board_.NowPs());
        return board_.QueryPerformanceFrequency(f);
    }
    bool QueryPerformanceCounter(uint64_t& c) override { return board_.QueryPerformanceCounter(c); }
    uint32_t TickCountMs() override { return board_.TickCountMs(); }
    int32_t GetThreadPriority() override { return board_.GetThreadPriority(); }
    void SetThreadPriority(int32_t p) override { board_.SetThreadPriority(p); }

    std::vector<uint64_t> measuredAtPs;

private:
    sim::SimMachine& board_;
    std::vector<std::string>& log_;
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() = default;
    explicit MainWindowTest(sim::MachineDescription board)
        : sim(std::make_unique<sim::SimMachine>(std::move(board))) {}

    void SetUp() override {
        Context detectCtx{*sim, shell, kOsOther, std::string(VC_SOURCE_DIR) + "/data"};
        ASSERT_EQ(DetectSystem(info, detectCtx), 1);
        ctx = std::make_unique<Context>(
            Context{Machine{*sim, *sim, clock}, shell, detectCtx.osKind, detectCtx.dataDirectory});
        shell.Take();
    }

    // Creates the window and starts the log over.
    MainWindow& Create(AutoApplySettings autoApply = {}) {
        window = std::make_unique<MainWindow>(info, *ctx, shell, pictures, MainWindowSetup{dir.Path(), autoApply});
        EXPECT_EQ(window->OnCreate(), 1);
        shell.Take();
        return *window;
    }
    MainWindow& CreateInAdvance() {
        Create().OnCommand(311);
        shell.Take();
        return *window;
    }
    void SetFineTune(int32_t flag) { info.board.clockGen->fineTune = flag; }
    std::vector<std::string> Run(uint32_t command) {
        window->OnCommand(command);
        return shell.Take();
    }

    RecordingMainShell shell;
    std::unique_ptr<sim::SimMachine> sim = std::make_unique<sim::SimMachine>(sim::test::VirtualDefault());
    MeasureLoggingClock clock{*sim, shell.log};
    SystemInfo info;
    std::unique_ptr<Context> ctx;
    PictureStore pictures{std::string(VC_SOURCE_DIR) + "/resources"};
    vc::test::TempDir dir;
    std::unique_ptr<MainWindow> window;
};

}  // namespace vc::ui::test
