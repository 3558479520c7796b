// The shipped database against the simulator's chip models. Each model
// carries the part's own register file and frequency table, written from
// the part's public facts apart from data/sources; so this walks every
// shipped board and every entry of its chip through the program's own path
// (detect, select, apply, measure) on a machine built from the board record,
// and checks that the byte reaching the chip is the one the part's table
// gives for the entry's clocks, that the processor clock measured afterwards
// follows the entry's bus clock, and that the optimal entry stays inside the
// board's limits on the clocks the chip really produces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/app/detection.h"
#include "core/board/clock_table.h"
#include "core/board/database.h"
#include "core/board/frequency_stepping.h"
#include "core/base/text_field.h"
#include "core/cpu/cpu_speed.h"
#include "sim/clock_chip.h"
#include "sim/sim_machine.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

constexpr double kMultiplier = 5.0;
constexpr double kClockTolerance = 0.011;     // tables are written to 1/100 MHz
constexpr double kMeasuredCpuTolerance = 1.5; // MHz of processor clock

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Database ShippedDatabase() {
    Database db;
    std::vector<std::string> problems;
    const std::string dir = std::string(VC_SOURCE_DIR) + "/data/";
    DecodeBoardFile(ReadAll(dir + "MBInfo.dat"), db, problems, problems);
    DecodeClockGenFile(ReadAll(dir + "CGInfo.dat"), db, problems, problems);
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
    return db;
}

std::string Clocks(double bus, double pci, double mem) {
    char text[96];
    std::snprintf(text, sizeof text, "bus %.2f, pci %.2f, mem %.2f", bus, pci, mem);
    return text;
}

// A machine that is this board: its string in the BIOS search area, its
// controller, the simulator's model of its chip. Boards alternate between
// the 9x personality (the program's own port sequences) and Windows 2000
// (the driver's).
sim::MachineDescription MachineFor(const BoardRecord& board, size_t index) {
    sim::MachineDescription d;
    d.name = FieldText(board.biosId);
    d.os.platformId = index % 2 == 0 ? 2 : 1;
    d.os.majorVersion = index % 2 == 0 ? 5 : 4;
    d.os.minorVersion = index % 2 == 0 ? 0 : 10;
    d.cpu.multiplier = kMultiplier;
    d.bios.strings.push_back({0xF100, FieldText(board.biosId)});
    if (board.chipsetCode == kChipsetReadsMemClass) d.pci.registers[0x50] = 0x4;  // 133 MHz memory class
    d.board.smbusKind = board.smbusKind;
    d.board.smbusBase = static_cast<uint16_t>(board.smbusBase != 0 ? board.smbusBase
                                                                   : (board.smbusKind == 1 ? 0x5000 : 0xE800));
    d.board.bootBusMHz = 100.0;
    d.chip.model = FieldText(board.clockGenName);
    return d;
}

double NominalBus(double busMHz) {
    if (busMHz >= 133.0) return 133.0;
    if (busMHz >= 100.0) return 100.0;
    return busMHz >= 66.0 ? 66.0 : busMHz;
}

class DatabaseOnChipModels : public ::testing::Test {
protected:
    // Every entry of the board's chip, applied and measured; failures name the
    // chip, the entry and both sides.
    void WalkBoard(const BoardRecord& board, size_t index) {
        const std::string chipName = FieldText(board.clockGenName);
        ASSERT_NE(sim::FindChipModel(chipName), nullptr) << "the simulator has no model of " << chipName;
        sim::SimMachine machine(MachineFor(board, index));
        test::RecordingShell shell;
        Context ctx{machine, shell, kOsOther, std::string(VC_SOURCE_DIR) + "/data"};
        SystemInfo info;
        ASSERT_EQ(DetectSystem(info, ctx), 1) << ::testing::PrintToString(shell.Texts());
        ASSERT_EQ(FieldText(info.board.biosId), FieldText(board.biosId)) << "another board is recognised first";
        const sim::ClockChip& chip = *machine.chip();

        for (int32_t i = 1; i <= info.clockGen()->entryCount; ++i) {
            const ClockEntry* found = EntryAt(info, i);
            ASSERT_NE(found, nullptr);
            const ClockEntry entry = *found;
            const std::string where = chipName + " entry " + std::to_string(i) + " (" +
                                      Clocks(entry.busMHz, entry.pciMHz, entry.memMHz) + ")";
            info.currentIndex = i;
            machine.ClearTrace();
            ASSERT_EQ(ApplyEntry(info).answer, 1) << where;
            const auto selects = machine.trace().Selects();
            if (selects.empty()) {
                ADD_FAILURE() << where << ": no select reached the chip";
                continue;
            }
            const uint8_t written = selects.back().value;
            if (!selects.back().accepted) {
                ADD_FAILURE() << where << ": the chip refused select 0x" << std::hex << int{written} << " ("
                              << selects.back().reason << ")";
                continue;
            }
            const auto decoded = chip.Decode(written);
            if (!decoded) {
                ADD_FAILURE() << where << ": the chip does not take select 0x" << std::hex << int{written}
                              << " (" << selects.back().reason << ")";
                continue;
            }
            if (std::fabs(decoded->busMHz - entry.busMHz) > kClockTolerance ||
                std::fabs(decoded->pciMHz - entry.pciMHz) > kClockTolerance ||
                std::fabs(decoded->memMHz - entry.memMHz) > kClockTolerance) {
                ADD_FAILURE() << where << ": select 0x" << std::hex << int{written} << std::dec
                              << " is code " << decoded->code << ", which the part's table gives as "
                              << Clocks(decoded->busMHz, decoded->pciMHz, decoded->memMHz);
                continue;
            }
            ASSERT_EQ(RefreshCPU(info.cpu, ctx), 1) << where;
            EXPECT_NEAR(info.cpu.cpuClockMHz, kMultiplier * entry.busMHz, kMeasuredCpuTolerance)
                << where << ": measured after the write";
        }

        // The optimal entry, judged on what the chip then really produces.
        const ClockEntry* defaultEntry = EntryAt(info, info.defaultIndex);
        ASSERT_NE(defaultEntry, nullptr);
        const ClockEntry start = *defaultEntry;
        if (ApplyOptimalEntry(info).written) {
            const sim::ChipClocks now = chip.Current();
            const double memBase = start.memMHz != 0.0 && info.memBaseClockMHz > 0.0 ? info.memBaseClockMHz : 100.0;
            const std::string where = chipName + " on " + FieldText(board.biosId) + ", optimal entry " +
                                      std::to_string(info.appliedIndex) + " (" +
                                      Clocks(now.busMHz, now.pciMHz, now.memMHz) + ")";
            EXPECT_LE(now.busMHz, NominalBus(start.busMHz) * board.maxBusRatio + kClockTolerance) << where;
            EXPECT_LE(now.pciMHz, 33.0 * board.maxPciRatio + kClockTolerance) << where;
            if (board.maxMemRatio != 0.0) {
                EXPECT_LE(now.memMHz, memBase * board.maxMemRatio + kClockTolerance) << where;
            }
        }
    }
};

TEST_F(DatabaseOnChipModels, EveryShippedBoardAndEntryMatchesTheChipsOwnTable) {
    const Database db = ShippedDatabase();
    ASSERT_FALSE(db.boards.empty());
    for (size_t b = 0; b < db.boards.size(); ++b) {
        SCOPED_TRACE("board " + FieldText(db.boards[b].biosId));
        WalkBoard(db.boards[b], b);
    }
}

// The ICS9250-08 (CUBX, P3B-F and five more boards) as the model fixed in
// 86Box commit 9f0d240c7 has it: FS3 is register 0 bit 2, so each entry of
// codes 8-15 carries bit 2 and none carries bit 7, which would select a code
// 0-7 clock (0xB8 gave 66.80 MHz, not 105). Select bytes from that commit's
// fs_regs and table.
TEST(ShippedIcs9250_08, SelectsItsUpperCodesWithBit2) {
    const Database db = ShippedDatabase();
    const ClockGenRecord* chip = nullptr;
    for (const ClockGenRecord& c : db.clockGens) {
        if (FieldText(c.name) == "ICS9250-08") chip = &c;
    }
    ASSERT_NE(chip, nullptr);
    const std::vector<std::pair<double, uint8_t>> upper = {{120.0, 0x0C}, {115.0, 0x1C}, {110.0, 0x2C},
                                                          {105.0, 0x3C}, {140.0, 0x4C}, {150.0, 0x5C}};
    for (const auto& [bus, select] : upper) {
        const auto it = std::find_if(chip->entries.begin(), chip->entries.end(),
                                     [&](const ClockEntry& e) { return std::fabs(e.busMHz - bus) < 0.005; });
        ASSERT_NE(it, chip->entries.end()) << bus;
        EXPECT_EQ(SelectByte(*it), select) << bus;
    }
    for (const ClockEntry& e : chip->entries) EXPECT_EQ(SelectByte(e) & 0x80, 0) << e.busMHz;
}

}  // namespace
}  // namespace vc
