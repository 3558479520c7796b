#include "core/app/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "sim/machine_catalogue.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

namespace fs = std::filesystem;

class FakeAutorun : public AutorunStore {
public:
    void SetAutorunEntry(const std::string& name, const std::string& command) override {
        entries[name] = command;
    }
    std::map<std::string, std::string> entries;
};

// A process whose shared counter another copy may already hold, and whose
// current directory is a real one (the data files are opened by bare name).
class FakeProcess : public ProcessServices {
public:
    int32_t IncrementInstanceCounter() override { return ++counter; }
    int32_t DecrementInstanceCounter() override { return --counter; }
    std::string CurrentDirectory() override { return fs::current_path().string(); }
    bool SetCurrentDirectory(const std::string& path) override {
        directoriesMadeCurrent.push_back(path);
        std::error_code ec;
        fs::current_path(path, ec);
        return !ec;
    }
    std::string ProgramPath() override { return programPath; }
    AutorunStore& Autorun() override { return autorun; }

    int32_t counter = -1;
    std::string programPath;
    std::vector<std::string> directoriesMadeCurrent;
    FakeAutorun autorun;
};

class FakeFrontEnd : public ProgramFrontEnd {
public:
    void LoadPictures() override { picturesLoaded = true; }
    int RunMainWindow(SystemInfo& info, Context&, StartupState& state) override {
        windowRuns++;
        layoutSeen = state.layoutMode;
        directoryDuringWindow = fs::current_path().string();
        boardSeen = info.board.biosId;
        return quitCode;
    }
    bool picturesLoaded = false;
    int windowRuns = 0;
    int32_t layoutSeen = 0;
    int quitCode = 7;
    std::string directoryDuringWindow;
    std::string boardSeen;
};

// A program directory holding the shipped data files and a save.dat, and a
// separate starting directory.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("vc-startup-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "program");
        fs::create_directories(root_ / "elsewhere");
        for (const char* file : {"MBInfo.dat", "CGInfo.dat"})
            fs::copy_file(fs::path(VC_SOURCE_DIR) / "data" / file, root_ / "program" / file);
        original_ = fs::current_path();
        fs::current_path(root_ / "elsewhere");
        process_.programPath = (root_ / "program" / "velocore").string();

        auto description = *sim::DefaultMachineDescription().description;
        description.time.mode = sim::TimeMode::Virtual;
        machine_ = std::make_unique<sim::SimMachine>(description);
        ctx_ = std::make_unique<Context>(Context{*machine_, shell_, kOsOther, ""});
    }
    void TearDown() override {
        fs::current_path(original_);
        fs::remove_all(root_);
    }
    void WriteSaveDat(std::initializer_list<uint8_t> bytes) {
        std::ofstream out(root_ / "program" / "save.dat", std::ios::binary);
        for (uint8_t b : bytes) out.put(static_cast<char>(b));
    }
    int Run() { return RunProgram(info_, *ctx_, process_, frontEnd_, state_); }

    fs::path root_, original_;
    FakeProcess process_;
    FakeFrontEnd frontEnd_;
    test::RecordingShell shell_;
    std::unique_ptr<sim::SimMachine> machine_;
    std::unique_ptr<Context> ctx_;
    SystemInfo info_;
    StartupState state_;
};

TEST_F(StartupTest, RunsDetectionInTheProgramDirectoryAndRestoresTheStartingOne) {
    WriteSaveDat({1, 0, 0, 0, 2, 0, 0, 0});
    EXPECT_EQ(Run(), 7);  // the main window's quit code
    EXPECT_TRUE(shell_.messages.empty());
    EXPECT_EQ(frontEnd_.boardSeen, "6BXE-R1.2");
    EXPECT_EQ(state_.programDirectory, (root_ / "program").string());
    EXPECT_EQ(state_.startingDirectory, (root_ / "elsewhere").string());
    const std::vector<std::string> madeCurrent = {state_.programDirectory, state_.startingDirectory};
    EXPECT_EQ(process_.directoriesMadeCurrent, madeCurrent);
    EXPECT_EQ(frontEnd_.directoryDuringWindow, (root_ / "elsewhere").string());
    EXPECT_EQ(frontEnd_.layoutSeen, kLayoutEasy);
    EXPECT_TRUE(frontEnd_.picturesLoaded);
    EXPECT_EQ(state_.autoApply, (AutoApplySettings{1, 2}));
    // The autorun entry names the program by its full path.
    EXPECT_EQ(process_.autorun.entries.at("VelocoreIII"), process_.programPath);
    EXPECT_EQ(process_.counter, -1);  // counted in and out again
}

TEST_F(StartupTest, ASecondCopyIsRefusedSilentlyAndLeavesTheCounter) {
    process_.counter = 0;  // one copy runs
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(process_.counter, 1);
    EXPECT_TRUE(shell_.messages.empty());
    EXPECT_EQ(frontEnd_.windowRuns, 0);
    EXPECT_TRUE(process_.autorun.entries.empty());
    EXPECT_TRUE(process_.directoriesMadeCurrent.empty());
}

TEST_F(StartupTest, FailedDetectionEndsWithItsMessagesAndNoWindow) {
    fs::remove(root_ / "program" / "MBInfo.dat");
    EXPECT_EQ(Run(), 0);
    const std::vector<std::string> expected = {"MBInfo.dat not found", "ScanBiosInfo fail",
                                               "Sorry!! We didn't support this mainboard."};
    EXPECT_EQ(shell_.Texts(), expected);
    EXPECT_EQ(frontEnd_.windowRuns, 0);
    EXPECT_EQ(process_.counter, 0);  // not decremented: the process ends
}

TEST_F(StartupTest, UnsupportedProcessorShowsThreeMessagesInTurn) {
    auto description = *sim::DefaultMachineDescription().description;
    description.time.mode = sim::TimeMode::Virtual;
    description.cpu.ratioCode = 8;
    machine_ = std::make_unique<sim::SimMachine>(description);
    ctx_ = std::make_unique<Context>(Context{*machine_, shell_, kOsOther, ""});
    EXPECT_EQ(Run(), 0);
    const std::vector<std::string> expected = {"CPUMultiValue fail", "Sorry!! We don't support this CPU",
                                               "Sorry!! We didn't support this mainboard."};
    EXPECT_EQ(shell_.Texts(), expected);
}

TEST_F(StartupTest, MissingOrShortSaveDatLeavesNothingToApply) {
    EXPECT_EQ(Run(), 7);
    EXPECT_EQ(state_.autoApply, (AutoApplySettings{0, 0}));
}

TEST(ProgramDirectoryTest, CutsAtTheLastSeparatorWithoutKeepingIt) {
    EXPECT_EQ(ProgramDirectoryOf("/opt/velocore/bin/velocore"), "/opt/velocore/bin");
    EXPECT_EQ(ProgramDirectoryOf("/velocore"), "");
    EXPECT_EQ(ProgramDirectoryOf("velocore"), ".");
}

}  // namespace
}  // namespace vc
