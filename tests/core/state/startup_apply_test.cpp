// The start-up use of save.dat.
#include <gtest/gtest.h>

#include "../board/table_fixture.h"
#include "../board/temp_dir.h"
#include "core/state/settings_file.h"
#include "core/state/startup_apply.h"

namespace vc {
namespace {

class StartupApplyTest : public test::TableFixture, public ::testing::Test {
protected:
    StartupApplyTest() {
        Table({{100.0, 33.3, 100.0, 20, 0x11}, {110.0, 36.7, 110.0, 20, 0x22}, {120.0, 39.0, 120.0, 20, 0x33},
               {150.0, 50.0, 150.0, 20, 0x44}});
        Indexes(1, 1, 1);
        info.board.maxMemRatio = 0.0;
        info.cpu.signature = 0x683;
        info.multiplier = 5.0;
    }

    StartupApplyResult Run(AutoApplySettings settings) {
        return ApplySavedChoiceAtStartup(info, ctx, settings, dir.Path(), autoOptimized);
    }

    void SaveEntry(int32_t index) {
        const int32_t current = info.currentIndex;
        info.currentIndex = index;
        ASSERT_EQ(SaveSettings(info, dir.Path()), 1);
        info.currentIndex = current;
    }

    test::TempDir dir;
    int32_t autoOptimized = 0;
};

TEST_F(StartupApplyTest, SavedSourceSelectsAndAppliesTheSavedEntry) {
    SaveEntry(2);
    const StartupApplyResult result = Run({1, 1});
    EXPECT_EQ(result.applied, StartupApplied::Saved);
    EXPECT_EQ(result.settingsLoaded, 1);
    EXPECT_EQ(WrittenBytes(), std::vector<uint8_t>{0x22});
    EXPECT_EQ(info.appliedIndex, 2);
    EXPECT_EQ(autoOptimized, 0);
    EXPECT_EQ(shell.Texts(), (std::vector<std::string>{"CPUSpeed fail", "CPUSpeed fail"}));  // measured twice
}

TEST_F(StartupApplyTest, SavedSourceWithForeignFileAppliesTheDefault) {
    info.multiplier = 5.5;
    SaveEntry(3);
    info.multiplier = 5.0;
    const StartupApplyResult result = Run({1, 1});
    EXPECT_EQ(result.applied, StartupApplied::Saved);
    EXPECT_EQ(result.settingsLoaded, 0);
    EXPECT_EQ(WrittenBytes(), std::vector<uint8_t>{0x11});
}

TEST_F(StartupApplyTest, OptimalSourceMarksAndAppliesTheOptimalEntry) {
    const StartupApplyResult result = Run({1, 2});
    EXPECT_EQ(result.applied, StartupApplied::Optimal);
    EXPECT_EQ(result.written, 1);
    EXPECT_EQ(autoOptimized, 1);
    EXPECT_EQ(WrittenBytes(), std::vector<uint8_t>{0x33});  // 150 MHz is beyond 1.3 x 100
    EXPECT_EQ(info.currentIndex, 3);
    EXPECT_EQ(shell.messages.size(), 2u);
}

TEST_F(StartupApplyTest, AnythingElseDoesNothing) {
    SaveEntry(2);
    for (const AutoApplySettings settings : {AutoApplySettings{2, 1}, AutoApplySettings{2, 2}, AutoApplySettings{0, 1},
                                             AutoApplySettings{1, 0}, AutoApplySettings{1, 3},
                                             AutoApplySettings{-1, 2}}) {
        const StartupApplyResult result = Run(settings);
        EXPECT_EQ(result.applied, StartupApplied::Nothing);
        EXPECT_EQ(result.written, 0);
    }
    EXPECT_TRUE(rig.platform.requests.empty());
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(autoOptimized, 0);
    EXPECT_EQ(info.currentIndex, 1);
}

}  // namespace
}  // namespace vc
