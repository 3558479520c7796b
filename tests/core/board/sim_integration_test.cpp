// End to end on simulated machines with the shipped database: recognise the
// board, find the running entry, step, apply, and see the new clock in a
// fresh measurement.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "core/app/detection.h"
#include "core/board/clock_table.h"
#include "core/board/frequency_stepping.h"
#include "core/base/text_field.h"
#include "core/cpu/cpu_speed.h"
#include "sim/machine_catalogue.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

struct SimCase {
    const char* machine;
    const char* biosId;
};

void PrintTo(const SimCase& c, std::ostream* os) { *os << c.machine; }

class SimIntegrationTest : public ::testing::TestWithParam<SimCase> {
protected:
    void SetUp() override {
        auto loaded = sim::LoadMachineFile(std::string(VC_SOURCE_DIR) + "/machines/" + GetParam().machine + ".machine");
        ASSERT_TRUE(loaded.ok()) << loaded.error;
        machine = std::make_unique<sim::SimMachine>(std::move(*loaded.description));
        ctx = std::make_unique<Context>(Context{*machine, shell, kOsOther, std::string(VC_SOURCE_DIR) + "/data"});
    }

    std::unique_ptr<sim::SimMachine> machine;
    test::RecordingShell shell;
    std::unique_ptr<Context> ctx;
    SystemInfo info;
};

TEST_P(SimIntegrationTest, RecogniseStepApplyAndMeasure) {
    ASSERT_EQ(DetectSystem(info, *ctx), 1) << ::testing::PrintToString(shell.Texts());
    EXPECT_EQ(FieldText(info.board.biosId), GetParam().biosId);
    const ClockEntry* running = EntryAt(info, info.defaultIndex);
    ASSERT_NE(running, nullptr);
    EXPECT_NEAR(running->busMHz, machine->BusClockMHz(), 1.0);

    // One step up, applied: the chip switches and a new measurement sees it.
    ASSERT_EQ(NextEntry(info), 1);
    const ClockEntry* next = EntryAt(info, info.currentIndex);
    ASSERT_NE(next, nullptr);
    ASSERT_EQ(ApplyEntry(info).answer, 1);
    EXPECT_TRUE(machine->RejectedSelects().empty());
    EXPECT_DOUBLE_EQ(machine->BusClockMHz(), next->busMHz);
    ASSERT_EQ(RefreshCPU(info.cpu, *ctx), 1);
    EXPECT_NEAR(info.cpu.cpuClockMHz, info.multiplier * next->busMHz, 1.5);

    // The optimal entry lies inside the board's limits and reaches the chip too.
    ASSERT_EQ(ApplyOptimalEntry(info).answer, 1);
    const ClockEntry* optimal = EntryAt(info, info.appliedIndex);
    ASSERT_NE(optimal, nullptr);
    EXPECT_DOUBLE_EQ(machine->BusClockMHz(), optimal->busMHz);
    EXPECT_LE(optimal->pciMHz, 33.0 * info.board.maxPciRatio);
    EXPECT_TRUE(machine->RejectedSelects().empty());

    // And back to where the machine started.
    ASSERT_EQ(DefaultEntry(info), 1);
    ASSERT_EQ(ApplyEntry(info).answer, 1);
    EXPECT_DOUBLE_EQ(machine->BusClockMHz(), running->busMHz);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, SimIntegrationTest,
                         ::testing::Values(SimCase{"default", "6BXE-R1.2"}, SimCase{"win98-6bxd", "6BXD-R2.0"},
                                           SimCase{"nt4-q6b1", "Q6B1-R1.0"}, SimCase{"win2000-h8k2", "H8K2-D1.0"},
                                           SimCase{"win2000-t9p7", "T9P7-G2.2"},
                                           SimCase{"nt4-f4w1", "F4W1-S1.0"},
                                           SimCase{"win98-l6x5-amd", "L6X5-M2.0"}),
                         [](const auto& param) {
                             std::string name = param.param.machine;
                             for (char& c : name) {
                                 if (c == '-') c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace vc
