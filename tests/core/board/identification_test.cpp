// BIOS string search and the start-up match of the table entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ostream>

#include "core/board/bios_id.h"
#include "core/board/freq_identification.h"
#include "core/base/text_field.h"
#include "core/hw/hw_driver.h"
#include "sim/sim_fixtures.h"
#include "support/sim_rig.h"

namespace vc {
namespace {

struct Field16 {
    char text[16] = {};
};

Field16 Id(const std::string& text) {
    Field16 field;
    SetField(field.text, text);
    return field;
}

// A machine of the system kind whose BIOS holds `strings`, its driver
// opened for the search.
struct BiosMachine {
    explicit BiosMachine(int32_t osKind, std::vector<sim::BiosString> strings = {},
                         void (*adjust)(sim::MachineDescription&) = nullptr)
        : rig(Describe(osKind, std::move(strings), adjust)) {
        rig.Bus().OpenForBios();
        rig.platform.Clear();
    }
    static sim::MachineDescription Describe(int32_t osKind, std::vector<sim::BiosString> strings,
                                            void (*adjust)(sim::MachineDescription&)) {
        sim::MachineDescription d = sim::test::Board(1, "generic", static_cast<uint32_t>(osKind));
        d.bios.strings = std::move(strings);
        if (adjust) adjust(d);
        return d;
    }
    bool Found(const std::string& id) { return BiosIdFound(rig.info, Id(id).text); }

    test::SimRig rig;
};

struct Placement {
    size_t offset;
    std::string placed;
    std::string searched;
    bool found;
};

void PrintTo(const Placement& c, std::ostream* os) {
    *os << "\"" << c.placed << "\" at 0x" << std::hex << c.offset << ", searched \"" << c.searched << "\" -> "
        << (c.found ? "found" : "not found");
}

class WindowSearchTest : public ::testing::TestWithParam<Placement> {};

TEST_P(WindowSearchTest, FindsOnlyInsideTheSearchedArea) {
    BiosMachine m(kOsWin9x, {{static_cast<uint32_t>(GetParam().offset), GetParam().placed}});
    EXPECT_EQ(m.Found(GetParam().searched), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, WindowSearchTest,
    ::testing::Values(Placement{0xDFFF, "6BXE-R1.2", "6BXE-R1.2", false},  // one byte before the area
                      Placement{0xE000, "6BXE-R1.2", "6BXE-R1.2", true},   // first position
                      Placement{0xFFF7, "6BXE-R1.2", "6BXE-R1.2", true},   // ends on 0xFFFF
                      Placement{0xFFF8, "6BXE-R1.2", "6BXE-R1.", true},    // shorter string still fits
                      Placement{0xFFF8, "6BXE-R1.2", "6BXE-R1.2", false},  // would need 0x10000
                      Placement{0xFFFE, "AB", "AB", true},                 // last start offset
                      Placement{0xFFFF, "Q", "Q", false},                  // never a start offset
                      Placement{0xE800, "6BXE-R1.2", "6bxe-r1.2", false},  // exact case
                      Placement{0xE800, "15-CHARACTERS-X", "15-CHARACTERS-X", true}));

TEST(BiosSearchTest, EmptyStringMatchesAtTheFirstPosition) { EXPECT_TRUE(BiosMachine(kOsWin9x).Found("")); }

TEST(BiosSearchTest, WindowTheDriverNeverHandedOutHoldsNothing) {
    BiosMachine m(kOsWin9x, {{0xE000, "6BXE"}},
                  [](sim::MachineDescription& d) { d.faults.biosRequestFails = true; });
    EXPECT_FALSE(m.Found("6BXE"));
    EXPECT_FALSE(m.Found(""));
}

TEST(BiosSearchTest, ShortWindowIsSearchedOnlyAsFarAsItGoes) {
    const std::vector<uint8_t> bios(0x10000, 0xFF);
    for (const size_t size : {size_t{0}, size_t{0xE000}, size_t{0xE004}}) {
        const std::vector<uint8_t> window(bios.begin(), bios.begin() + static_cast<long>(size));
        char id[16] = "ABCD";
        EXPECT_FALSE(BiosWindowHolds(window, id)) << size;
    }
    std::vector<uint8_t> window(0xE004, 0);
    std::memcpy(window.data() + 0xE000, "ABCD", 4);
    char id[16] = "ABCD";
    EXPECT_TRUE(BiosWindowHolds(window, id));
}

TEST(BiosSearchTest, UnterminatedFieldIsComparedOverItsSixteenBytes) {
    BiosMachine m(kOsWin9x, {{0xF000, "SIXTEEN-CHARS-IDtail"}});
    char id[16];
    std::memcpy(id, "SIXTEEN-CHARS-ID", 16);
    EXPECT_TRUE(BiosIdFound(m.rig.info, id));
    std::memcpy(id, "SIXTEEN-CHARS-XX", 16);
    EXPECT_FALSE(BiosIdFound(m.rig.info, id));
}

TEST(BiosSearchTest, NtFamilyAsksTheDriverWithTheSixteenByteField) {
    for (const int32_t kind : {kOsNt4, kOsWin2000}) {
        BiosMachine m(kind, {{0xE010, "6BXE-R1.2"}});
        EXPECT_TRUE(m.Found("6BXE-R1.2"));
        EXPECT_FALSE(m.Found("OTHER"));
        const auto& requests = m.rig.platform.requests;
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0].code, kReqNtBiosFind);
        EXPECT_EQ(requests[0].handle, m.rig.Bus().DriverHandle());
        std::vector<uint8_t> expected(16, 0);
        std::memcpy(expected.data(), "6BXE-R1.2", 9);
        EXPECT_EQ(requests[0].input, expected);
    }
}

TEST(BiosSearchTest, FailingDriverRequestAnswersNoAndOtherSystemsNeverMatch) {
    BiosMachine failing(kOsWin2000, {{0xE010, "6BXE"}},
                        [](sim::MachineDescription& d) { d.faults.biosRequestFails = true; });
    EXPECT_FALSE(failing.Found("6BXE"));
    EXPECT_TRUE(failing.rig.shell.messages.empty());
    BiosMachine other(kOsOther, {{0xE010, "6BXE"}});
    EXPECT_FALSE(other.Found(""));
}

// --- which entry the machine runs at -------------------------------------------

// A board with a chip and no table yet, its driver open.
struct FreqMachine {
    explicit FreqMachine(int32_t osKind = kOsWin2000) : rig(sim::test::Board(1, "generic", static_cast<uint32_t>(osKind))) {
        rig.Bus().OpenForBios();
        rig.platform.Clear();
        info.board.clockGen = std::make_shared<ClockGenRecord>();
    }

    void Table(const std::vector<ClockEntry>& entries) {
        info.board.clockGen->entries = entries;
        info.board.clockGen->entryCount = static_cast<int32_t>(entries.size());
    }
    void MemClassRegister(uint32_t value) { rig.sim.SetHostBridgeRegister(kMemClassRegister, value); }
    int32_t Scan() { return ScanCPUFreqValue(info, ctx).value; }

    // PCI configuration reads: the data port on 9x, driver requests on NT.
    size_t PciReads() const {
        const auto events = rig.platform.What();
        return static_cast<size_t>(std::count(events.begin(), events.end(), "in32 cfc")) +
               rig.platform.RequestsOf(kReqNtPciRead).size();
    }

    test::SimRig rig;
    SystemInfo& info = rig.info;
    Context& ctx = rig.ctx;
    test::RecordingShell& shell = rig.shell;
};

class FreqMatchTest : public FreqMachine, public ::testing::Test {};

const std::vector<ClockEntry> kBands{
    {66.8, 33.4, 66.8, 10, 0},  {100.2, 33.4, 100.2, 20, 1}, {100.0, 33.3, 133.3, 21, 2},
    {133.6, 33.4, 133.6, 30, 3}, {133.3, 33.3, 133.3, 31, 4}, {65.0, 32.5, 65.0, 10, 5},
};

struct BandCase {
    double busMHz;
    bool memClass133;
    int32_t expectedIndex;  // 0: no match
};

void PrintTo(const BandCase& c, std::ostream* os) {
    *os << c.busMHz << " MHz, memory class " << (c.memClass133 ? 133 : 100) << " -> entry " << c.expectedIndex;
}

class BandTest : public FreqMatchTest, public ::testing::WithParamInterface<BandCase> {};

TEST_P(BandTest, BusClockPicksTheBandAndChipsetTheMemoryDigit) {
    Table(kBands);
    info.board.chipsetCode = kChipsetReadsMemClass;
    MemClassRegister(GetParam().memClass133 ? 0x04 : 0xFB);
    info.busClockMHz = GetParam().busMHz;
    EXPECT_EQ(Scan(), GetParam().expectedIndex != 0 ? 1 : 0);
    EXPECT_EQ(info.currentIndex, GetParam().expectedIndex);
    EXPECT_EQ(info.defaultIndex, GetParam().expectedIndex);
    EXPECT_EQ(info.appliedIndex, GetParam().expectedIndex);
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(info.busClockMHz, GetParam().busMHz);  // clocks stay as measured
}

INSTANTIATE_TEST_SUITE_P(Boundaries, BandTest,
                         ::testing::Values(BandCase{65.99, false, 0}, BandCase{66.0, false, 1},
                                           BandCase{99.99, false, 1}, BandCase{100.0, false, 2},
                                           BandCase{100.0, true, 3}, BandCase{132.99, true, 3},
                                           BandCase{133.0, false, 4}, BandCase{133.0, true, 5},
                                           BandCase{250.0, false, 4}));

TEST_F(FreqMatchTest, MemoryClassIsReadOnlyForChipset259) {
    Table(kBands);
    info.busClockMHz = 100.0;
    MemClassRegister(0x04);
    for (const int32_t chipset : {0, 258, 260}) {
        info.board.chipsetCode = chipset;
        ASSERT_EQ(Scan(), 1);
        EXPECT_EQ(info.memBaseClockMHz, 100.0);
        EXPECT_EQ(info.currentIndex, 2);
    }
    EXPECT_EQ(PciReads(), 0u);
    for (const int32_t os : {kOsWin9x, kOsWin2000}) {
        FreqMachine m(os);
        m.Table(kBands);
        m.info.busClockMHz = 100.0;
        m.info.board.chipsetCode = kChipsetReadsMemClass;
        m.MemClassRegister(0x04);
        ASSERT_EQ(m.Scan(), 1);
        EXPECT_EQ(m.info.memBaseClockMHz, 133.0);
        EXPECT_EQ(m.info.currentIndex, 3);
        EXPECT_EQ(m.PciReads(), 1u);
    }
}

TEST_F(FreqMatchTest, NearestToTheNominalClockNotToTheMeasuredOne) {
    Table({{112.0, 37.3, 112.0, 20, 0}, {99.0, 33.0, 99.0, 20, 1}, {101.0, 33.7, 101.0, 20, 2},
           {103.0, 34.3, 103.0, 20, 3}});
    info.busClockMHz = 112.0;
    ASSERT_EQ(Scan(), 1);
    EXPECT_EQ(info.currentIndex, 2);  // 99 and 101 tie: the earlier one
}

TEST_F(FreqMatchTest, CandidatesAHundredMegahertzAwayAreNeverTaken) {
    Table({{200.0, 33.0, 200.0, 20, 0}, {200.5, 33.0, 200.5, 20, 1}});
    info.busClockMHz = 100.0;
    EXPECT_EQ(Scan(), 0);
    Table({{199.9, 33.0, 199.9, 20, 0}});
    EXPECT_EQ(Scan(), 1);
}

TEST_F(FreqMatchTest, NoEntryOfTheBandCodeSaysUnknowCpu) {
    for (const auto& table : {std::vector<ClockEntry>{{100.0, 33.3, 100.0, 21, 0}}, std::vector<ClockEntry>{}}) {
        Table(table);
        shell.messages.clear();
        info.busClockMHz = 100.0;
        EXPECT_EQ(Scan(), 0);
        ASSERT_EQ(shell.messages.size(), 1u);
        EXPECT_EQ(shell.messages[0], (test::ShownMessage{"Error", "Unknow CPU"}));
        EXPECT_EQ(info.currentIndex, 0);
    }
}

TEST_F(FreqMatchTest, ZeroOrSlowBusFailsSilently) {
    Table(kBands);
    for (const double bus : {0.0, 50.0, std::nan("")}) {
        info.busClockMHz = bus;
        EXPECT_EQ(Scan(), 0);
    }
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(FreqMatchTest, EntriesBeyondTheDeclaredCountAreNotConsidered) {
    Table({{120.0, 40.0, 120.0, 20, 0}, {100.0, 33.3, 100.0, 20, 1}});
    info.board.clockGen->entryCount = 1;
    info.busClockMHz = 100.0;
    ASSERT_EQ(Scan(), 1);
    EXPECT_EQ(info.currentIndex, 1);
}

}  // namespace
}  // namespace vc
