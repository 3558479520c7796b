// The options panel: what it shows from save.dat, the exclusivity of its
// choices, "Save", and what the next start does with the file.
#include <filesystem>
#include <ostream>

#include "core/state/settings_file.h"
#include "core/ui/panels/options_panel.h"
#include "panels_fixture.h"

namespace vc::ui::test {
namespace {

struct Marks {
    bool yes, no, saved, optimal;
    bool sourcesEnabled;
};

void ExpectMarks(const FakePanelWindow& panel, const Marks& m) {
    EXPECT_EQ(panel.Control(kOptionYes).checked, m.yes);
    EXPECT_EQ(panel.Control(kOptionNo).checked, m.no);
    EXPECT_EQ(panel.Control(kOptionUseSaved).checked, m.saved);
    EXPECT_EQ(panel.Control(kOptionUseOptimal).checked, m.optimal);
    EXPECT_EQ(panel.Control(kOptionUseSaved).enabled, m.sourcesEnabled);
    EXPECT_EQ(panel.Control(kOptionUseOptimal).enabled, m.sourcesEnabled);
}

struct InitCase {
    const char* name;
    AutoApplySettings settings;
    Marks marks;
};

void PrintTo(const InitCase& c, std::ostream* os) { *os << c.name; }

class OptionsInitTest : public PanelsTest, public ::testing::WithParamInterface<InitCase> {};

TEST_P(OptionsInitTest, ShowsTheStartUpChoice) {
    Create(GetParam().settings);
    ExpectMarks(Panel(kPanelOptions), GetParam().marks);
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionsInitTest,
    ::testing::Values(InitCase{"NoSaveDat", {0, 0}, {false, false, false, false, true}},
                      InitCase{"YesSaved", {1, 1}, {true, false, true, false, true}},
                      InitCase{"YesOptimal", {1, 2}, {true, false, false, true, true}},
                      InitCase{"YesNoSource", {1, 0}, {true, false, false, false, true}},
                      InitCase{"NoKeepsSourceMark", {2, 2}, {false, true, false, true, false}},
                      InitCase{"UnknownApply", {7, 1}, {false, false, false, false, true}}),
    [](const auto& row) { return std::string(row.param.name); });

class OptionsPanelTest : public PanelsTest {
protected:
    FakePanelWindow& Options() { return Panel(kPanelOptions); }
    AutoApplySettings SavedFile() {
        AutoApplySettings read;
        EXPECT_EQ(ReadAutoApplySettings(dir.Path(), read), 1);
        return read;
    }
};

TEST_F(OptionsPanelTest, ClickingYesOrNoTwiceKeepsItChecked) {
    Create();
    Options().Click(kOptionYes);
    Options().Click(kOptionYes);
    ExpectMarks(Options(), {true, false, false, false, true});
    Options().Click(kOptionNo);
    Options().Click(kOptionNo);
    ExpectMarks(Options(), {false, true, false, false, false});
    EXPECT_EQ(autoApply.autoApply, 2);
}

TEST_F(OptionsPanelTest, NoDisablesTheSourcesKeepingTheirMarksAndYesBringsThemBack) {
    Create();
    Options().Click(kOptionYes);
    Options().Click(kOptionUseOptimal);
    Options().Click(kOptionUseSaved);
    ExpectMarks(Options(), {true, false, true, false, true});
    Options().Click(kOptionNo);
    ExpectMarks(Options(), {false, true, true, false, false});
    Options().Click(kOptionUseOptimal);  // disabled: no effect
    EXPECT_EQ(autoApply.autoApplySource, 1);
    Options().Click(kOptionYes);
    ExpectMarks(Options(), {true, false, true, false, true});
    EXPECT_EQ(autoApply, (AutoApplySettings{1, 1}));
}

TEST_F(OptionsPanelTest, SaveWritesTheValuesInMemoryAndSaysSo) {
    Create();
    Options().Click(kOptionYes);
    Options().Click(kOptionUseOptimal);
    Options().Click(kOptionNo);
    shell.Take();
    Options().Click(kOptionSave);
    EXPECT_EQ(SavedFile(), (AutoApplySettings{2, 2}));
    EXPECT_EQ(shell.Take(), (std::vector<std::string>{"message Message: Save OK!!"}));
}

TEST_F(OptionsPanelTest, SaveWithNothingChosenWritesZeros) {
    Create();
    Options().Click(kOptionSave);
    EXPECT_EQ(std::filesystem::file_size(AutoApplyPath(dir.Path())), 8u);
    EXPECT_EQ(SavedFile(), (AutoApplySettings{0, 0}));
}

TEST_F(OptionsPanelTest, AFailedSaveSaysNothingAndKeepsTheChoice) {
    programDirectory = dir.Path() + "/missing";
    Create();
    Options().Click(kOptionYes);
    shell.Take();
    Options().Click(kOptionSave);
    EXPECT_TRUE(shell.Take().empty());
    EXPECT_EQ(autoApply.autoApply, 1);
    EXPECT_FALSE(std::filesystem::exists(AutoApplyPath(programDirectory)));
}

TEST_F(OptionsPanelTest, TheChoiceSurvivesARestartOnlyAfterSave) {
    Create();
    const double busAtStart = sim->BusClockMHz();
    Options().Click(kOptionYes);
    Options().Click(kOptionUseOptimal);
    Restart();
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), busAtStart);
    EXPECT_EQ(window->autoOptimized(), 0);
    ExpectMarks(Options(), {false, false, false, false, true});

    Options().Click(kOptionYes);
    Options().Click(kOptionUseOptimal);
    Options().Click(kOptionSave);
    Restart();
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), OptimalBusMHz());
    EXPECT_EQ(window->autoOptimized(), 1);
    EXPECT_EQ(window->Button(kButtonAutoOptimize)->onState, 1);
    ExpectMarks(Options(), {true, false, false, true, true});
    // Auto Optimize now goes back to the default instead of opening the popup.
    window->OnCommand(kButtonAutoOptimize);
    EXPECT_FALSE(Panel(kPanelProgress).visible);
    EXPECT_DOUBLE_EQ(sim->BusClockMHz(), DefaultBusMHz());
}

struct StartCase {
    const char* name;
    int32_t yesOrNo;  // the option clicked before Save
    int32_t source;
    enum { Saved, Optimal, Unchanged } expected;
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name << ": option " << c.yesOrNo << " source " << c.source;
}

class OptionsStartTest : public OptionsPanelTest, public ::testing::WithParamInterface<StartCase> {};

// The next start applies what save.dat says: the entry kept in
// sysinfo.dat, the optimal entry, or nothing.
TEST_P(OptionsStartTest, TheNextStartAppliesAsSaved) {
    Create();
    const double busAtStart = sim->BusClockMHz();
    info.currentIndex = info.defaultIndex + 2;
    RefreshEntry(info);
    const double keptBus = info.busClockMHz;
    ASSERT_EQ(SaveSettings(info, dir.Path()), 1);
    Options().Click(GetParam().yesOrNo);
    Options().Click(GetParam().source);
    Options().Click(kOptionSave);
    Restart();
    switch (GetParam().expected) {
        case StartCase::Saved: EXPECT_DOUBLE_EQ(sim->BusClockMHz(), keptBus); break;
        case StartCase::Optimal: EXPECT_DOUBLE_EQ(sim->BusClockMHz(), OptimalBusMHz()); break;
        case StartCase::Unchanged: EXPECT_DOUBLE_EQ(sim->BusClockMHz(), busAtStart); break;
    }
    EXPECT_EQ(window->autoOptimized(), GetParam().expected == StartCase::Optimal ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionsStartTest,
    ::testing::Values(StartCase{"YesSaved", kOptionYes, kOptionUseSaved, StartCase::Saved},
                      StartCase{"YesOptimal", kOptionYes, kOptionUseOptimal, StartCase::Optimal},
                      StartCase{"NoOptimal", kOptionNo, kOptionUseOptimal, StartCase::Unchanged}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace vc::ui::test
