// The main window with its real panel models on the default simulated board
// (virtual time), detected for real, with the shipped pictures and data, a
// fresh program directory, and the panels' timers on a virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "core/app/detection.h"
#include "core/board/clock_table.h"
#include "core/board/frequency_stepping.h"
#include "core/board/temp_dir.h"
#include "core/ui/main/main_window.h"
#include "core/ui/main/main_window_fixture.h"
#include "core/ui/main/main_window_tables.h"
#include "core/ui/panels/panel_set.h"
#include "core/ui/panels/panel_templates.h"
#include "fake_panel_window.h"
#include "sim/sim_fixtures.h"

namespace vc::ui::test {

inline std::string Fixed2(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%4.2f", value);
    return text;
}

class PanelsTest : public ::testing::Test {
protected:
    void SetUp() override { Detect(); }

    void Detect() {
        info = SystemInfo{};
        Context detectCtx{*sim, shell, kOsOther, std::string(VC_SOURCE_DIR) + "/data"};
        ASSERT_EQ(DetectSystem(info, detectCtx), 1);
        ctx = std::make_unique<Context>(
            Context{Machine{*sim, *sim, clock}, shell, detectCtx.osKind, detectCtx.dataDirectory});
    }

    // Creates the main window (which creates the panels) with the start-up
    // choice `settings`, and starts the logs over.
    MainWindow& Create(AutoApplySettings settings = {}) {
        autoApply = settings;
        window = std::make_unique<MainWindow>(info, *ctx, shell, pictures, MainWindowSetup{dir.Path(), autoApply});
        env = std::make_unique<PanelContext>(
            PanelContext{info, *ctx, *window, shell, pictures, autoApply, programDirectory.empty() ? dir.Path() : programDirectory});
        panelSet = std::make_unique<PanelSet>(*env);
        shell.models = panelSet.get();
        EXPECT_EQ(window->OnCreate(), 1);
        TakeAll();
        return *window;
    }

    // A second start on the same board: save.dat read again, detection again.
    MainWindow& Restart() {
        AutoApplySettings settings;
        ReadAutoApplySettings(dir.Path(), settings);
        shell.models = nullptr;
        window.reset();
        panelSet.reset();
        env.reset();
        shell.windows.clear();
        shell.byTemplate.clear();
        shell.panelModels.clear();
        Detect();
        return Create(settings);
    }

    void TakeAll() {
        shell.Take();
        for (auto& [handle, panel] : shell.windows) panel->Take();
    }

    FakePanelWindow& Panel(int32_t templateId) { return shell.Window(templateId); }
    void Advance(int64_t ms) { shell.timers.AdvanceTo(ms); }
    // -1 (no bus clock at all) when there is no such entry, so comparisons fail.
    double OptimalBusMHz() const { return BusOf(EntryAt(info, FindOptimalEntry(info).value_or(0))); }
    double DefaultBusMHz() const { return BusOf(EntryAt(info, info.defaultIndex)); }
    static double BusOf(const ClockEntry* entry) { return entry ? entry->busMHz : -1.0; }

    PanelRoutingShell shell;
    std::unique_ptr<sim::SimMachine> sim = std::make_unique<sim::SimMachine>(sim::test::VirtualDefault());
    MeasureLoggingClock clock{*sim, shell.log};
    SystemInfo info;
    std::unique_ptr<Context> ctx;
    PictureStore pictures{std::string(VC_SOURCE_DIR) + "/resources"};
    vc::test::TempDir dir;
    std::string programDirectory;  // empty: dir
    AutoApplySettings autoApply;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<PanelContext> env;
    std::unique_ptr<PanelSet> panelSet;
};

}  // namespace vc::ui::test
