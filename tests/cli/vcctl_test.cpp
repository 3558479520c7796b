// vcctl as a user runs it: output lines, messages on standard error, exit codes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

#include "printed_fields.h"
#include "subprocess.h"

namespace vc::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Vcctl(std::initializer_list<std::string> args) {
    std::vector<std::string> argv = {VC_VCCTL_PATH};
    argv.insert(argv.end(), args);
    return argv;
}

class VcctlTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vc-vcctl-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "program");
        fs::create_directories(dir_ / "runtime");
        for (const char* file : {"MBInfo.dat", "CGInfo.dat"})
            fs::copy_file(fs::path(VC_SOURCE_DIR) / "data" / file, dir_ / "program" / file);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Program() const { return (dir_ / "program").string(); }
    // A copy of the default machine with extra settings, on virtual time.
    std::string MachineFile(const std::string& extra, const std::string& base = "default") const {
        std::ifstream in(fs::path(VC_SOURCE_DIR) / "machines" / (base + ".machine"));
        std::stringstream text;
        text << in.rdbuf();
        std::string description = text.str();
        const auto real = description.find("time.mode = real");
        if (real != std::string::npos) description.replace(real, 16, "time.mode = virtual");
        const fs::path path = dir_ / "test.machine";
        std::ofstream(path) << description << "\n" << extra << "\n";
        return path.string();
    }
    std::vector<std::string> Env() const {
        return {"XDG_RUNTIME_DIR=" + (dir_ / "runtime").string(),
                "XDG_CONFIG_HOME=" + (dir_ / "config").string()};
    }

    fs::path dir_;
};

TEST_F(VcctlTest, HelpAndUsageErrors) {
    const Finished help = RunToEnd(Vcctl({"--help"}));
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Exit codes"), std::string::npos);
    for (const auto& args : {Vcctl({}), Vcctl({"warp"}), Vcctl({"--machine"}),
                             Vcctl({"--machine", "no-such-machine", "detect"}),
                             Vcctl({"--dir", "/nonexistent-velocore", "detect"})}) {
        const Finished misuse = RunToEnd(args);
        EXPECT_EQ(misuse.exitCode, 2) << args.back();
        EXPECT_FALSE(misuse.err.empty());
    }
}

TEST_F(VcctlTest, DetectPrintsEveryFieldByItsPath) {
    const Finished run = RunToEnd(Vcctl({"--machine", "default", "--dir", Program(), "detect"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    auto fields = Fields(run.out);
    EXPECT_EQ(fields["board.biosId"], "6BXE-R1.2");
    EXPECT_EQ(fields["clockGen.name"], "ICS9248-153");
    EXPECT_EQ(fields["clockGen.entryCount"], "16");
    EXPECT_EQ(fields["cpu.vendorId"], "GenuineIntel");
    EXPECT_EQ(fields["cpu.signature"], "1667");  // 0x683
    EXPECT_EQ(fields["multiplier"], "5.00");
    EXPECT_EQ(fields["osKind"], "3");
    EXPECT_EQ(fields["cpu.featureFlags"], "0x0383F9FF");
    for (const char* key : {"busClockMHz", "cpu.cpuClockMHz", "cpu.speed.roundedMHz", "defaultIndex",
                            "appliedIndex", "currentIndex", "memBaseClockMHz", "addressInfo"})
        EXPECT_TRUE(fields.count(key)) << key;
}

TEST_F(VcctlTest, StepsAndAppliesAnEntryThatTheMeasurementThenShows) {
    const Finished run = RunToEnd(
        Vcctl({"--machine", MachineFile(""), "--dir", Program(), "detect", "table", "next", "next", "apply", "cpu"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto fields = Fields(run.out);
    const int defaultIndex = std::stoi(fields["defaultIndex"]);
    EXPECT_EQ(fields["currentIndex"], std::to_string(defaultIndex + 2));
    EXPECT_EQ(fields["appliedIndex"], std::to_string(defaultIndex + 2));
    // The applied entry's bus clock, from the table listing.
    const std::string entry = fields["entry." + std::to_string(defaultIndex + 2)];
    const double busMHz = std::stod(entry.substr(entry.find("busMHz=") + 7));
    const double measured = std::stod(fields["cpu.cpuClockMHz"]);
    EXPECT_NEAR(measured, 5.0 * busMHz, 5.0 * busMHz * 0.005);
    EXPECT_NEAR(std::stod(fields["cpu.busClockMHz"]), busMHz, busMHz * 0.005);
}

TEST_F(VcctlTest, MessagesGoToStandardErrorInOrderWithTheExitCode) {
    const Finished unsupported =
        RunToEnd(Vcctl({"--machine", MachineFile("cpu.ratioCode = 8"), "--dir", Program(), "detect"}));
    EXPECT_EQ(unsupported.exitCode, 3);
    EXPECT_EQ(unsupported.err,
              "Message: CPUMultiValue fail\n"
              "Message: Sorry!! We don't support this CPU\n"
              "Message: Sorry!! We didn't support this mainboard.\n");

    const Finished noDriver =
        RunToEnd(Vcctl({"--machine", MachineFile("fault.driverMissing = yes"), "--dir", Program(), "detect"}));
    EXPECT_EQ(noDriver.exitCode, 1);
    EXPECT_EQ(noDriver.err, "Message: Failed to open Velocore Win2000 driver\n");
    EXPECT_EQ(noDriver.out, "");
}

// cpu alone asks the driver for the configuration word, as detection does,
// and nothing else; without a readable word it says the values are unknown.
TEST_F(VcctlTest, CpuAloneReadsTheMultiplierOrSaysItIsUnknown) {
    struct Case {
        const char* machine;
        const char* multiplier;
        double busMHz;
    };
    // The NT driver with an extended Intel code; the 9x requests for AMD.
    for (const Case& c : {Case{"nt4-q6b1", "8.50", 100.0}, Case{"win98-l6x5-amd", "5.00", 100.2}}) {
        SCOPED_TRACE(c.machine);
        const Finished run = RunToEnd(Vcctl({"--machine", MachineFile("", c.machine), "cpu", "trace"}));
        ASSERT_EQ(run.exitCode, 0) << run.err;
        auto fields = Fields(run.out);
        EXPECT_EQ(fields["cpu.multiplier"], c.multiplier);
        EXPECT_NEAR(std::stod(fields["cpu.busClockMHz"]), c.busMHz, 0.5);
        EXPECT_EQ(run.out.find("port out"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("smbus"), std::string::npos) << run.out;
    }
    // No driver, a system without one, a code no table holds.
    for (const auto& [extra, base] : {std::pair{"fault.driverMissing = yes", "default"}, std::pair{"", "other-os"},
                                      std::pair{"cpu.ratioCode = 8", "default"}}) {
        SCOPED_TRACE(std::string(base) + " " + extra);
        const Finished run = RunToEnd(Vcctl({"--machine", MachineFile(extra, base), "cpu"}));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        auto fields = Fields(run.out);
        EXPECT_EQ(fields["cpu.multiplier"], "unknown");
        EXPECT_EQ(fields["cpu.busClockMHz"], "unknown");
        EXPECT_GT(std::stod(fields["cpu.cpuClockMHz"]), 0.0);
    }
    // Before detection the record holds no bus clock either.
    auto before = Fields(RunToEnd(Vcctl({"--machine", "default", "--dir", Program(), "status"})).out);
    EXPECT_EQ(before["busClockMHz"], "unknown");
    EXPECT_EQ(before["multiplier"], "unknown");
}

TEST_F(VcctlTest, FailedDriverRequestsEndTheProcessWithExitCodeOne) {
    // The memory clock class of this board is read from the host bridge.
    const Finished pci = RunToEnd(
        Vcctl({"--machine", MachineFile("fault.pci = yes", "nt4-q6b1"), "--dir", Program(), "detect"}));
    EXPECT_EQ(pci.exitCode, 1);
    EXPECT_EQ(pci.err, "Message: DeviceIOControl Fail (ScanPCIValue)\n");

    const Finished smbus = RunToEnd(Vcctl(
        {"--machine", MachineFile("fault.smbus = yes"), "--dir", Program(), "detect", "next", "apply", "cpu"}));
    EXPECT_EQ(smbus.exitCode, 1);
    EXPECT_EQ(smbus.err, "Message: DeviceIOControl Fail (SMBusBlockWriteType1)\n");
    // Detection printed the processor once; the cpu command after the write never ran.
    const auto first = smbus.out.find("cpu.vendorId");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(smbus.out.find("cpu.vendorId", first + 1), std::string::npos);
}

TEST_F(VcctlTest, AWriteTheChipDidNotTakeFailsTheCommand) {
    // The board names a chip that is not on the bus: its read-back goes
    // unanswered, so nothing is written back and the clock stays.
    std::ifstream in(fs::path(VC_SOURCE_DIR) / "machines" / "win98-6bxd.machine");
    std::ofstream machine(dir_ / "no-chip.machine");
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("chip.")) machine << line << '\n';
    }
    machine.close();
    const Finished run = RunToEnd(Vcctl(
        {"--machine", (dir_ / "no-chip.machine").string(), "--dir", Program(), "detect", "next", "apply"}));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "apply: the clock generator did not take the write\n");
    EXPECT_NEAR(std::stod(Fields(run.out)["cpu.busClockMHz"]), 100.2, 0.5);
}

// Applying two steps up from the 100.2 MHz entry, on the block-buffer board
// (measurement only) and on the 9x byte-by-byte board whose chip is read back.
TEST_F(VcctlTest, EveryWriteIsCheckedAndOneTheChipIgnoredFailsNamingBothClocks) {
    for (const char* base : {"default", "win98-6bxd"}) {
        SCOPED_TRACE(base);
        const auto apply = [&](const std::string& extra) {
            return RunToEnd(Vcctl({"--machine", MachineFile(extra, base), "--dir", Program(), "detect", "next",
                                   "next", "apply"}));
        };
        const Finished normal = apply("");
        EXPECT_EQ(normal.exitCode, 0) << normal.err;
        EXPECT_EQ(normal.err, "");
        auto fields = Fields(normal.out);
        EXPECT_EQ(fields["verify.ok"], "yes");
        EXPECT_EQ(fields["verify.expectedBusMHz"], "105.00");
        EXPECT_NEAR(std::stod(fields["verify.measuredBusMHz"]), 105.0, 0.5);

        const Finished ignored = apply("chip.ignoresWrites = yes");
        EXPECT_EQ(ignored.exitCode, 3);
        EXPECT_EQ(ignored.err, "");  // every byte was acknowledged
        fields = Fields(ignored.out);
        EXPECT_EQ(fields["verify.ok"], "no");
        EXPECT_EQ(fields["verify.expectedBusMHz"], "105.00");
        EXPECT_NEAR(std::stod(fields["verify.measuredBusMHz"]), 100.2, 0.5);
    }
    // The read-back shows the select the chip kept (the 100.2 MHz entry's
    // 0x18) against the one written.
    auto fields = Fields(RunToEnd(Vcctl({"--machine", MachineFile("chip.ignoresWrites = yes", "win98-6bxd"),
                                               "--dir", Program(), "detect", "next", "next", "apply"}))
                                   .out);
    EXPECT_EQ(fields["verify.readBackSelect"], "0x18");
    EXPECT_EQ(fields["verify.expectedSelect"], "0x28");
}

// The trace is the applying process's own: two processes do not share a chip.
TEST_F(VcctlTest, ATimedApplyIsWrittenBackUnlessConfirmedInTime) {
    const std::string machine = MachineFile("");
    const auto args = Vcctl({"--machine", machine, "--dir", Program(), "detect", "next", "next", "apply",
                             "--revert-after", "2", "trace"});
    const auto accepted = [](const std::string& out) {
        std::vector<std::string> selects;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            if (line.find(" accepted bus=") != std::string::npos) selects.push_back(line.substr(line.find("select")));
        }
        return selects;
    };

    const Finished unconfirmed = RunToEnd(args);
    EXPECT_EQ(unconfirmed.exitCode, 0) << unconfirmed.err;
    auto fields = Fields(unconfirmed.out);
    EXPECT_EQ(fields["revert.confirmed"], "no");
    EXPECT_EQ(fields["revert.restoredIndex"], fields["defaultIndex"]);
    EXPECT_EQ(fields["appliedIndex"], fields["defaultIndex"]);
    EXPECT_EQ(accepted(unconfirmed.out),
              (std::vector<std::string>{"select 0x28 accepted bus=105.00MHz", "select 0x18 accepted bus=100.20MHz"}));

    Child waiting(args, Env());
    ASSERT_TRUE(waiting.WaitForOutput("revert.waitingSeconds: 2"));
    const Finished confirm = RunToEnd(Vcctl({"--machine", machine, "--dir", Program(), "confirm"}), Env());
    EXPECT_EQ(confirm.exitCode, 0) << confirm.err;
    const Finished confirmed = waiting.Finish();
    EXPECT_EQ(confirmed.exitCode, 0) << confirmed.err;
    fields = Fields(confirmed.out);
    EXPECT_EQ(fields["revert.confirmed"], "yes");
    EXPECT_EQ(fields.count("revert.restoredIndex"), 0u);
    EXPECT_EQ(accepted(confirmed.out), (std::vector<std::string>{"select 0x28 accepted bus=105.00MHz"}));
    EXPECT_FALSE(fs::exists(dir_ / "program" / "revert.confirm"));  // used up

    EXPECT_EQ(RunToEnd(Vcctl({"--machine", machine, "--dir", Program(), "apply", "--revert-after", "0"})).exitCode,
              2);
}

TEST_F(VcctlTest, RendersTheMainWindowIntoAPicture) {
    const std::string file = (dir_ / "advance.bmp").string();
    const Finished run =
        RunToEnd(Vcctl({"--machine", MachineFile(""), "--dir", Program(), "detect", "render", "advance", file}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // 526 x 216 at 24 bits: rows of 1578 bytes padded to 1580, after a 54-byte header.
    EXPECT_EQ(fs::file_size(file), 54u + 216u * 1580u);
    EXPECT_EQ(RunToEnd(Vcctl({"--machine", MachineFile(""), "--dir", Program(), "render", "sideways", file}))
                  .exitCode,
              2);
}

// save.dat asks for the optimal entry at start-up; the machine hangs above
// its 100 MHz boot clock. Each vcctl is a new start on a reset machine.
TEST_F(VcctlTest, AStartupClockThatHungIsSkippedOnceThenAppliedAgain) {
    std::ofstream(dir_ / "program" / "save.dat", std::ios::binary).write("\x01\0\0\0\x02\0\0\0", 8);
    const auto start = Vcctl({"--machine", MachineFile("fault.hangAboveBusMHz = 100"), "--dir", Program(),
                              "status", "startup", "trace", "status"});

    const Finished hung = RunToEnd(start);
    EXPECT_EQ(hung.exitCode, 124);
    EXPECT_EQ(hung.err, "simulated hang\n");
    ASSERT_TRUE(fs::exists(dir_ / "program" / "pending.dat"));

    const Finished skipped = RunToEnd(start);
    ASSERT_EQ(skipped.exitCode, 0) << skipped.err;
    const std::string pending = skipped.out.substr(skipped.out.find("startup.pending: "));
    EXPECT_TRUE(pending.starts_with("startup.pending: entry=")) << pending;
    EXPECT_NE(pending.find(" source=optimal\n"), std::string::npos) << pending;
    EXPECT_EQ(pending.find("busMHz=100.00"), std::string::npos) << pending;
    EXPECT_NE(skipped.err.find("Message: The frequency applied automatically at the last start (entry "),
              std::string::npos) << skipped.err;
    auto fields = Fields(skipped.out);
    EXPECT_EQ(fields["startup.applied"], "skipped-after-failed-start");
    EXPECT_EQ(fields["startup.pending"], "none");  // the last status
    EXPECT_EQ(skipped.out.find(" select "), std::string::npos);  // the trace: nothing written
    EXPECT_EQ(fs::file_size(dir_ / "program" / "save.dat"), 8u);

    const Finished again = RunToEnd(start);
    EXPECT_EQ(again.exitCode, 124);
    EXPECT_TRUE(fs::exists(dir_ / "program" / "pending.dat"));
}

TEST_F(VcctlTest, AStartupClockThatLastsLeavesNoPendingRecordAfterACleanExit) {
    std::ofstream(dir_ / "program" / "save.dat", std::ios::binary).write("\x01\0\0\0\x01\0\0\0", 8);
    const Finished run =
        RunToEnd(Vcctl({"--machine", MachineFile(""), "--dir", Program(), "detect", "next", "save", "startup", "status"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto fields = Fields(run.out);
    EXPECT_EQ(fields["startup.applied"], "saved");
    const int saved = std::stoi(fields["defaultIndex"]) + 1;
    EXPECT_TRUE(fields["startup.pending"].starts_with("entry=" + std::to_string(saved) + " busMHz="))
        << fields["startup.pending"];
    EXPECT_FALSE(fs::exists(dir_ / "program" / "pending.dat"));
}

// Fills the 16-byte text field at `offset`, so it has no terminator.
void DamageText(const fs::path& file, size_t offset) {
    std::fstream io(file, std::ios::in | std::ios::out | std::ios::binary);
    io.seekp(static_cast<std::streamoff>(offset));
    io << std::string(16, 'X');
}

// Where `text` with its terminator first stands in the file.
size_t OffsetOf(const fs::path& file, const std::string& text) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str().find(std::string(text.c_str(), text.size() + 1));
}

// Shipped files with damaged records that are not the simulated board's:
// its detection still succeeds without a message, data check names them.
TEST_F(VcctlTest, DamagedRecordsOfOtherBoardsAreSkippedAndNamedByDataCheck) {
    const fs::path boards = dir_ / "program" / "MBInfo.dat";
    const fs::path chips = dir_ / "program" / "CGInfo.dat";
    DamageText(boards, 8 + 16);  // board record 1 (CUBX): clockGenName
    DamageText(chips, 8 + 40);   // clock generator header 2 (ICS9248-39), named by no board
    const Finished detect = RunToEnd(Vcctl({"--machine", "default", "--dir", Program(), "detect"}));
    EXPECT_EQ(detect.exitCode, 0);
    EXPECT_EQ(detect.err, "");
    EXPECT_EQ(Fields(detect.out)["clockGen.name"], "ICS9248-153");
    EXPECT_EQ(Fields(detect.out)["clockGen.entryCount"], "16");

    // Header 1's chip comes before the nameless header 2, which could be a later
    // header of that name: its board would be refused, so the check fails.
    const Finished check = RunToEnd(Vcctl({"--dir", Program(), "data", "check"}));
    EXPECT_EQ(check.exitCode, 3);
    for (const char* line :
         {"warning: MBInfo.dat has a damaged record, skipped: board record 1 (CUBX): clockGenName has no terminator\n",
          "warning: CGInfo.dat has a damaged record, skipped: clock generator header 2 (XXXXXXXXXXXXXXXX): name has "
          "no terminator\n",
          "clockGenName: ICS9150-08 cannot be loaded: CGInfo.dat is damaged: clock generator header 2: name has no "
          "terminator\n"}) {
        EXPECT_NE(check.err.find(line), std::string::npos) << line << check.err;
    }

    fs::copy_file(fs::path(VC_SOURCE_DIR) / "data" / "CGInfo.dat", chips, fs::copy_options::overwrite_existing);
    const Finished warned = RunToEnd(Vcctl({"--dir", Program(), "data", "check"}));
    EXPECT_EQ(warned.exitCode, 0);
    EXPECT_EQ(warned.err,
              "warning: MBInfo.dat has a damaged record, skipped: board record 1 (CUBX): clockGenName has no "
              "terminator\n");
    EXPECT_NE(warned.out.find("no problems, 1 warning(s)"), std::string::npos) << warned.out;

    // The board's own record damaged too: refused with that record's message.
    const size_t own = OffsetOf(boards, "6BXE-R1.2");
    ASSERT_NE(own, std::string::npos);
    DamageText(boards, own + 16);
    const Finished refused = RunToEnd(Vcctl({"--machine", "default", "--dir", Program(), "detect"}));
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_TRUE(refused.err.starts_with("Error: MBInfo.dat is damaged: board record " +
                                        std::to_string((own - 8) / 80 + 1) + ": clockGenName has no terminator\n"))
        << refused.err;
}

TEST_F(VcctlTest, OnlyOneCopyRunsAndTheNextStartsOnceItEnds) {
    const auto args = Vcctl({"--machine", MachineFile(""), "--dir", Program(), "run"});
    Child first(args, Env());
    ASSERT_TRUE(first.WaitForOutput("running:"));

    const Finished second = RunToEnd(args, Env());
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_EQ(second.out.find("board.biosId"), std::string::npos);  // it detected nothing

    const Finished firstDone = first.Finish();
    EXPECT_EQ(firstDone.exitCode, 0) << firstDone.err;
    auto fields = Fields(firstDone.out);
    EXPECT_EQ(fields["programDirectory"], Program());
    // The entry runs the start-up application of the choice saved in the same folder.
    const std::string autorun = fields["autorun.VelocoreIII"];
    const std::string arguments = " --dir " + Program() + " startup";
    ASSERT_TRUE(autorun.ends_with(arguments)) << autorun;
    EXPECT_TRUE(fs::equivalent(autorun.substr(0, autorun.size() - arguments.size()), VC_VCCTL_PATH)) << autorun;
    EXPECT_EQ(fields["layoutMode"], "1");
    // On a simulated machine the autorun entry stays in the simulation.
    EXPECT_FALSE(fs::exists(dir_ / "config" / "autostart"));

    const Finished third = RunToEnd(args, Env());
    EXPECT_EQ(third.exitCode, 0) << third.err;
}

// On this computer with no helper socket nothing is reached: start-up writes
// the autostart entry, then detection finds no driver.
TEST_F(VcctlTest, ARelativeDirGivesAbsoluteFoldersAndAnAutostartEntryThatExists) {
    auto env = Env();
    env.push_back("VELOCORE_DRIVER_SOCKET=" + (dir_ / "no-helper").string());
    const Finished run = RunToEnd({"/bin/sh", "-c", "cd \"$0\" && exec \"$1\" --dir program/ status run",
                                   dir_.string(), VC_VCCTL_PATH},
                                  env);
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_EQ(Fields(run.out)["folders.state"], (dir_ / "program").string());
    std::ifstream entry(dir_ / "config" / "autostart" / "VelocoreIII.desktop");
    std::stringstream read;
    read << entry.rdbuf();
    const std::string text = read.str();
    EXPECT_TRUE(text.ends_with("\n")) << text;
    std::string exec, tryExec;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        if (line.starts_with("Exec=")) exec = line.substr(5);
        if (line.starts_with("TryExec=")) tryExec = line.substr(8);
    }
    // At login: vcctl's start-up application with the folder of this run.
    const std::string arguments = " --dir " + (dir_ / "program").string() + " startup";
    ASSERT_TRUE(exec.ends_with(arguments)) << "Exec=" << exec;
    const std::string program = exec.substr(0, exec.size() - arguments.size());
    ASSERT_TRUE(program.starts_with("/") && fs::exists(program)) << "Exec=" << exec;
    EXPECT_TRUE(fs::equivalent(program, VC_VCCTL_PATH)) << exec;
    // The session skips the entry once the program is gone.
    EXPECT_EQ(tryExec, program);
}

}  // namespace
}  // namespace vc::test
