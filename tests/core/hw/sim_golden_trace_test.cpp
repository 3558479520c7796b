// One frequency-select byte programmed through the write variants into the
// simulated mainboard, under each system personality: what reaches the
// clock chip on the SMBus, and whether the bus clock follows.
#include <gtest/gtest.h>

#include <ostream>

#include "core/hw/hw_driver.h"
#include "core/hw/pci_config.h"
#include "core/hw/register_trace.h"
#include "support/sim_rig.h"

namespace vc {
namespace {

using sim::SmbusProtocol;
using sim::SmbusTransaction;
using Strings = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kSelect = 0x45;  // v: the 133.3 MHz entry of the generic chip's table
constexpr uint8_t kMask = 0x08;    // m
constexpr uint16_t kBase = 0xE800;

// The byte a case programs, the mask the board's record gives, and the bus
// clock the chip then runs at. The generic chip takes this test's table;
// the other chips have their own.
struct Select {
    uint8_t value = 0;
    uint8_t mask = 0;
    double busMHz = 0.0;
};

constexpr Select kGenericSelect{kSelect, kMask, 133.3};  // 0x4D on the wire
constexpr Select kIcsSelect{0x58, 0x00, 133.6};
constexpr Select kRtmSelect{0x0C, 0x00, 133.3};

// "w d2 cmd=00 [4d]" for a write, "r d3 [..]" for a block read, "word d2
// cmd=1f [00 02]", with " short" when closed before the count was sent.
std::string Describe(const SmbusTransaction& t) {
    char head[32];
    const char* kind = t.protocol == SmbusProtocol::BlockWrite  ? "w"
                       : t.protocol == SmbusProtocol::BlockRead ? "r"
                       : t.protocol == SmbusProtocol::WordWrite ? "word"
                                                                : "?";
    if (t.protocol == SmbusProtocol::BlockRead) {
        std::snprintf(head, sizeof head, "%s %02x [", kind, t.address);
    } else {
        std::snprintf(head, sizeof head, "%s %02x cmd=%02x [", kind, t.address, t.command);
    }
    std::string line = head;
    for (size_t i = 0; i < t.bytes.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : " %02x", t.bytes[i]);
        line += byte;
    }
    line += "]";
    if (t.protocol == SmbusProtocol::BlockWrite && t.bytes.size() != t.count) line += " short";
    if (!t.acknowledged) line += " no-ack";
    return line;
}

std::string Block(const char* head, const Bytes& bytes) {
    std::string line = head;
    line += " [";
    for (size_t i = 0; i < bytes.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : " %02x", bytes[i]);
        line += byte;
    }
    return line + "]";
}

const Bytes kIcsRegisters = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76};
const Bytes kRtmRegisters = {0x00, 0x0F, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
                             0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0x0B};

Bytes With(Bytes bytes, size_t index, uint8_t value) {
    bytes[index] = value;
    return bytes;
}

struct ChipCase {
    const char* name;
    int32_t smbusKind;
    const char* model;
    SmbusVariant variant;
    Bytes registers;
    Strings traffic;  // what reaches the chip
    Select select;
};

void PrintTo(const ChipCase& c, std::ostream* os) { *os << c.name; }

const ChipCase kChips[] = {
    {"Kind1Generic", 1, "generic", SmbusVariant::BlockBuffered, {}, {"w d2 cmd=00 [4d]"}, kGenericSelect},
    {"Kind1Ics9248", 1, "ICS9248-153", SmbusVariant::BlockBuffered, kIcsRegisters, {"w d2 cmd=00 [58]"},
     kIcsSelect},
    {"Kind2Generic", 2, "generic", SmbusVariant::BlockByteWise, {}, {"w d2 cmd=00 [4d]"}, kGenericSelect},
    {"Kind2Ics9248", 2, "ICS9248-153", SmbusVariant::Ics9248, kIcsRegisters,
     {Block("r d3", kIcsRegisters), Block("w d2 cmd=00", With(kIcsRegisters, 6, 0x58)),
      // byte 6 once more: a new start, cut short after its first bytes
      "w d2 cmd=00 [58 58] short"},
     kIcsSelect},
    {"Kind2Rtm560", 2, "RTM560-25", SmbusVariant::Rtm560, kRtmRegisters,
     {Block("r d3", kRtmRegisters), Block("w d2 cmd=00", With(kRtmRegisters, 16, 0x4B)),
      "word d2 cmd=1f [00 02]", "word d2 cmd=10 [00 49]", "w d2 cmd=00 [0c]"},
     kRtmSelect},
};

struct Personality {
    const char* name;
    sim::OsDescription os;
};

void PrintTo(const Personality& p, std::ostream* os) { *os << p.name; }

const Personality kPersonalities[] = {
    {"Win9x", {1, 4, 10}}, {"Nt4", {2, 4, 0}}, {"Win2000", {2, 5, 0}}};

sim::MachineDescription Describe(const ChipCase& chip, const Personality& personality) {
    sim::MachineDescription d;
    d.name = "golden";
    d.os = personality.os;
    d.board.smbusKind = chip.smbusKind;
    d.board.smbusBase = kBase;
    d.board.bootBusMHz = 100.0;
    d.chip.model = chip.model;
    d.chip.firstByteMask = chip.select.mask;
    d.chip.entries = {ClockEntry{100.0, 33.3, 0.0, 20, 0x40}, ClockEntry{133.3, 33.3, 0.0, 30, kSelect}};
    if (!chip.registers.empty()) d.chip.registers = chip.registers;
    return d;
}

class GoldenTraceTest
    : public ::testing::TestWithParam<std::tuple<ChipCase, Personality>> {};

SmbusAccess AccessFor(const ChipCase& chip) {
    SmbusAccess access;
    std::snprintf(access.chipName, sizeof access.chipName, "%s", chip.model);
    access.controllerKind = chip.smbusKind;
    access.operation = kSmbusOperationBlockWrite;
    access.firstByteMask = chip.select.mask;
    access.ioBase = kBase;
    access.readAddress = kClockGenReadAddress;
    access.writeAddress = kClockGenWriteAddress;
    return access;
}

Strings Traffic(const sim::SimMachine& machine) {
    Strings traffic;
    for (const auto& t : machine.trace().Transactions()) traffic.push_back(Describe(t));
    return traffic;
}

TEST_P(GoldenTraceTest, SelectByteReachesChipAndBusClockFollows) {
    const auto& [chip, personality] = GetParam();
    test::SimRig rig(Describe(chip, personality));
    ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
    ASSERT_DOUBLE_EQ(rig.sim.BusClockMHz(), 100.0);
    // Every transfer names its own command: a stale one would go out first.
    rig.sim.LeaveSmbusCommand(0xC4);
    rig.sim.ClearTrace();

    const Bytes select = {chip.select.value};
    EXPECT_FALSE(rig.Bus().WriteSmbus(chip.variant, AccessFor(chip), select).Faulted());

    EXPECT_EQ(Traffic(rig.sim), chip.traffic);
    EXPECT_DOUBLE_EQ(rig.sim.BusClockMHz(), chip.select.busMHz);
    EXPECT_TRUE(rig.shell.messages.empty());
    for (const auto& s : rig.sim.trace().Selects()) EXPECT_TRUE(s.accepted) << s.reason;
}

INSTANTIATE_TEST_SUITE_P(
    ChipsAndSystems, GoldenTraceTest,
    ::testing::Combine(::testing::ValuesIn(kChips), ::testing::ValuesIn(kPersonalities)),
    [](const auto& p) {
        return std::string(std::get<0>(p.param).name) + std::get<1>(p.param).name;
    });

// A chip that never answers the read-back gets nothing written to it.
TEST(SimReadBackFault, SilentChipGetsNoWrite) {
    for (const SmbusVariant variant : {SmbusVariant::Ics9248, SmbusVariant::Rtm560}) {
        ChipCase chip{"NoChip", 2, "", variant, {}, {}, kGenericSelect};
        test::SimRig rig(Describe(chip, kPersonalities[0]));
        const Bytes select = {kSelect};
        EXPECT_EQ(rig.Bus().WriteSmbus(variant, AccessFor(chip), select).value, 0);
        EXPECT_EQ(Traffic(rig.sim), (Strings{"r d3 [] no-ack"}));
        EXPECT_DOUBLE_EQ(rig.sim.BusClockMHz(), 100.0);
    }
}

// On 9x the program's own pauses between two steps pass on the machine's
// tick count: the byte-by-byte write, register by register, as the machine
// saw it.
TEST(SimWin9xPorts, PausesPassOnTheMachinesClock) {
    const ChipCase& chip = kChips[2];  // kind 2, generic
    test::SimRig rig(Describe(chip, kPersonalities[0]));
    const Bytes select = {kSelect};
    EXPECT_EQ(rig.Bus().WriteSmbus(chip.variant, AccessFor(chip), select).value, 1);
    EXPECT_EQ(test::RegisterTrace(rig.platform.events, kBase, rig.sim.NowPs()),
              (Strings{"r2", "w0:ff", "w3:00", "w4:d2", "w5:01", "w7:4d", "w2:54", "wait"}));
}

class SimPciTest : public ::testing::TestWithParam<Personality> {};

TEST_P(SimPciTest, HostBridgeRegisterReadsBack) {
    sim::MachineDescription d;
    d.os = GetParam().os;
    test::SimRig rig(d);
    rig.sim.SetHostBridgeRegister(0x50, 0x12345678);
    ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
    uint32_t value = 0;
    EXPECT_EQ(ScanPCIValue(rig.Bus(), 0, 0, 0, 0x50, value).value, 1);
    EXPECT_EQ(value, 0x12345678u);
}

INSTANTIATE_TEST_SUITE_P(Systems, SimPciTest, ::testing::ValuesIn(kPersonalities),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace vc
