#include "core/app/detection.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <memory>

#include "core/hw/hw_driver.h"
#include "sim/machine_catalogue.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

using test::ProcessEnded;
using test::RecordingShell;

// The default machine on virtual time, changed by `adjust`, detected
// against the shipped database.
struct Detection {
    explicit Detection(const std::function<void(sim::MachineDescription&)>& adjust = {}) {
        auto description = *sim::DefaultMachineDescription().description;
        description.time.mode = sim::TimeMode::Virtual;
        if (adjust) adjust(description);
        machine = std::make_unique<sim::SimMachine>(description);
        ctx = std::make_unique<Context>(Context{*machine, shell, kOsOther, VC_SOURCE_DIR "/data"});
    }
    int32_t Run() { return DetectSystem(info, *ctx); }

    std::unique_ptr<sim::SimMachine> machine;
    RecordingShell shell;
    std::unique_ptr<Context> ctx;
    SystemInfo info;
};

// On 9x every request of a whole detection goes to the one device handle
// it opened, and the handle stays open for the rest of the run.
TEST(DetectionTest, Win9xOpensTheVirtualDeviceOnceAndKeepsIt) {
    Detection d([](sim::MachineDescription& m) { m.os = {1, 4, 10}; });
    ASSERT_EQ(d.Run(), 1);
    EXPECT_EQ(d.ctx->osKind, kOsWin9x);
    EXPECT_STREQ(d.info.board.biosId, "6BXE-R1.2");
    std::vector<uint32_t> codes;
    for (const sim::DriverCall& call : d.machine->trace().DriverCalls()) {
        EXPECT_EQ(call.device, "Map9X");
        codes.push_back(call.code);
    }
    EXPECT_EQ(codes, (std::vector<uint32_t>{kReq9xBiosWindow, kReq9xIntelRatio}));
    EXPECT_EQ(d.machine->OpenDeviceCount(), 1u);
}

TEST(DetectionTest, FillsTheRecordWithMeasuredClocksAndOneStartingEntry) {
    Detection d;
    ASSERT_EQ(d.Run(), 1);
    EXPECT_TRUE(d.shell.messages.empty());
    EXPECT_EQ(d.ctx->osKind, kOsWin2000);
    EXPECT_STREQ(d.info.board.biosId, "6BXE-R1.2");
    ASSERT_NE(d.info.clockGen(), nullptr);
    EXPECT_GE(d.info.clockGen()->entryCount, 1);
    // The three indexes agree and lie inside the table.
    EXPECT_GE(d.info.defaultIndex, 1);
    EXPECT_LE(d.info.defaultIndex, d.info.clockGen()->entryCount);
    EXPECT_EQ(d.info.appliedIndex, d.info.defaultIndex);
    EXPECT_EQ(d.info.currentIndex, d.info.defaultIndex);
    // Clock values are the measured ones, not the table's, until a selection.
    EXPECT_EQ(d.info.multiplier, 5.0);
    EXPECT_EQ(d.info.multiplier, d.info.cpu.multiplier);
    EXPECT_EQ(d.info.cpuClockMHz, d.info.cpu.cpuClockMHz);
    EXPECT_EQ(d.info.busClockMHz, d.info.cpu.busClockMHz);
    EXPECT_EQ(d.info.cpuClockMHz, 500.0);  // the simulated 5.0 x 100 MHz
    EXPECT_EQ(d.info.busClockMHz, 100.0);
    EXPECT_NE(d.info.busClockMHz, d.info.clockGen()->entries[d.info.defaultIndex - 1].busMHz);
    EXPECT_EQ(d.info.pciClockMHz, 0.0);
    EXPECT_EQ(d.info.memClockMHz, 0.0);
    EXPECT_EQ(d.info.clockWriter.board, &d.info.board);
    EXPECT_EQ(d.info.addressInfo, d.info.cpu.ratioWord);
}

TEST(DetectionTest, BeforeDetectionNothingIsSelected) {
    SystemInfo info;
    EXPECT_EQ(info.clockGen(), nullptr);
    EXPECT_EQ(info.defaultIndex, 0);
    EXPECT_EQ(info.appliedIndex, 0);
    EXPECT_EQ(info.currentIndex, 0);
    EXPECT_EQ(info.clockWriter.board, nullptr);
}

struct FailureCase {
    const char* name;
    std::function<void(sim::MachineDescription&)> adjust;
    std::vector<std::string> messages;  // in the order shown
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name << " -> " << ::testing::PrintToString(c.messages); }

class DetectionFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DetectionFailureTest, ShowsTheFailingOperationsMessageThenTheSteps) {
    Detection d(GetParam().adjust);
    EXPECT_EQ(d.Run(), 0);
    EXPECT_EQ(d.shell.Texts(), GetParam().messages);
}

const FailureCase kFailures[] = {
    {"UnsupportedMultiplier",
     [](sim::MachineDescription& m) { m.cpu.ratioCode = 8; },  // no row for code 8
     {"CPUMultiValue fail", "Sorry!! We don't support this CPU"}},
    {"UnknownVendor",
     [](sim::MachineDescription& m) { m.cpu.vendor = "GenuineTMx86"; },
     {"CPUMultiValue fail", "Sorry!! We don't support this CPU"}},
    {"OtherSystem",
     [](sim::MachineDescription& m) { m.os = {2, 6, 0}; },
     {"ScanBiosInfo fail"}},
    {"BoardNotInDatabase",
     [](sim::MachineDescription& m) { m.bios.strings = {{0xF080, "NO-SUCH-BOARD"}}; },
     {"ScanBiosInfo fail"}},
    {"ConfigurationWordRequestFails",
     [](sim::MachineDescription& m) { m.faults.configWordFails = true; },
     {"ScanAddressInfo fail"}},
    {"NoPerformanceCounter",
     [](sim::MachineDescription& m) { m.time.perfCounterPresent = false; },
     {"CPUSpeed fail", "CPUInfo.RefreshCPU fail"}},
    {"BusBelowTheLowestBand",
     [](sim::MachineDescription& m) { m.board.bootBusMHz = 60.0; },
     {"ScanCPUFreqValue fail"}},
};

INSTANTIATE_TEST_SUITE_P(Steps, DetectionFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(DetectionTest, MissingDataFileNamesItselfBeforeTheStepMessage) {
    Detection d;
    d.ctx->dataDirectory = "/nonexistent-velocore-dir";
    EXPECT_EQ(d.Run(), 0);
    const std::vector<test::ShownMessage> expected = {{"Error", "MBInfo.dat not found"},
                                                      {"Message", "ScanBiosInfo fail"}};
    EXPECT_EQ(d.shell.messages, expected);
}

TEST(DetectionTest, NtDriverThatCannotBeOpenedEndsTheProcessBeforeAnyDataFile) {
    for (const auto& [major, text] : {std::pair{5u, "Failed to open Velocore Win2000 driver\n"},
                                      std::pair{4u, "Failed to open Velocore WinNT driver\n"}}) {
        Detection d([major = major](sim::MachineDescription& m) {
            m.os = {2, major, 0};
            m.faults.driverMissing = true;
        });
        d.ctx->dataDirectory = "/nonexistent-velocore-dir";  // never reached
        try {
            d.Run();
            ADD_FAILURE() << "the process should have ended";
        } catch (const ProcessEnded& ended) {
            EXPECT_EQ(ended.exitCode, 1);
        }
        const std::vector<test::ShownMessage> expected = {{"Message", text}};
        EXPECT_EQ(d.shell.messages, expected);
    }
}

TEST(DetectionTest, Windows9xDriverMissingFailsSilentlyInItsStep) {
    Detection d([](sim::MachineDescription& m) {
        m.os = {1, 4, 10};
        m.faults.driverMissing = true;
    });
    EXPECT_EQ(d.Run(), 0);
    EXPECT_EQ(d.shell.Texts(), std::vector<std::string>{"ScanBiosInfo fail"});
}

}  // namespace
}  // namespace vc
