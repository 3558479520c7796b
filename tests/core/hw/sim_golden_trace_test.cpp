// One frequency-select byte programmed through the write variants into the
// simulated mainboard, under each system personality: what reaches the
// clock chip on the SMBus, and whether the bus clock follows.
#include <gtest/gtest.h>

#include "core/hw/hw_driver.h"
#include "core/hw/pci_config.h"
#include "core/hw/smbus_write.h"
#include "sim/sim_machine.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

using sim::SmbusProtocol;
using sim::SmbusTransaction;
using Strings = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;
using Variant = int32_t (*)(const SmbusAccess&, int32_t, const uint8_t*, Context&, DeviceHandle);

constexpr uint8_t kSelect = 0x45;  // v: the 133.3 MHz entry
constexpr uint8_t kMask = 0x08;    // m
constexpr uint8_t kSent = 0x4D;    // v | m
constexpr uint16_t kBase = 0xE800;

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
    Variant variant;
    Bytes registers;
    Strings traffic;  // what reaches the chip
};

const ChipCase kChips[] = {
    {"Kind1Generic", 1, "generic", BlockWriteBuffered, {}, {"w d2 cmd=00 [4d]"}},
    {"Kind1Ics9248", 1, "ICS9248-153", BlockWriteBuffered, kIcsRegisters, {"w d2 cmd=00 [4d]"}},
    {"Kind2Generic", 2, "generic", BlockWriteByteWise, {}, {"w d2 cmd=00 [4d]"}},
    {"Kind2Ics9248", 2, "ICS9248-153", WriteIcs9248, kIcsRegisters,
     {Block("r d3", kIcsRegisters), Block("w d2 cmd=00", With(kIcsRegisters, 6, kSent)),
      // byte 6 once more: a new start, cut short after its first bytes
      "w d2 cmd=00 [4d 4d] short"}},
    {"Kind2Rtm560", 2, "RTM560-25", WriteRtm560, kRtmRegisters,
     {Block("r d3", kRtmRegisters), Block("w d2 cmd=00", With(kRtmRegisters, 16, 0x4B)),
      "word d2 cmd=1f [00 02]", "word d2 cmd=10 [00 49]", "w d2 cmd=00 [4d]"}},
};

struct Personality {
    const char* name;
    sim::OsDescription os;
};

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
    d.chip.firstByteMask = kMask;
    d.chip.entries = {ClockEntry{100.0, 33.3, 0.0, 20, 0x40}, ClockEntry{133.3, 33.3, 0.0, 30, kSelect}};
    if (!chip.registers.empty()) d.chip.registers = chip.registers;
    return d;
}

class GoldenTraceTest
    : public ::testing::TestWithParam<std::tuple<ChipCase, Personality>> {};

TEST_P(GoldenTraceTest, SelectByteReachesChipAndBusClockFollows) {
    const auto& [chip, personality] = GetParam();
    sim::SimMachine machine(Describe(chip, personality));
    test::RecordingShell shell;
    SystemInfo info;
    Context ctx{machine, shell, OsKindFromVersion(machine.GetOsVersion()), {}};
    ASSERT_EQ(OpenDriverForBios(info, ctx), 1);
    ASSERT_DOUBLE_EQ(machine.BusClockMHz(), 100.0);
    machine.ClearTrace();

    SmbusAccess access;
    std::snprintf(access.chipName, sizeof access.chipName, "%s", chip.model);
    access.controllerKind = chip.smbusKind;
    access.operation = kSmbusOperationBlockWrite;
    access.firstByteMask = kMask;
    access.ioBase = kBase;
    access.readAddress = kClockGenReadAddress;
    access.writeAddress = kClockGenWriteAddress;
    const uint8_t select = kSelect;
    chip.variant(access, 1, &select, ctx, info.driverHandle);

    Strings traffic;
    for (const auto& t : machine.trace().Transactions()) traffic.push_back(Describe(t));
    EXPECT_EQ(traffic, chip.traffic);
    EXPECT_DOUBLE_EQ(machine.BusClockMHz(), 133.3);
    EXPECT_TRUE(shell.messages.empty());
    for (const auto& s : machine.trace().Selects()) EXPECT_TRUE(s.accepted) << s.reason;
}

INSTANTIATE_TEST_SUITE_P(
    ChipsAndSystems, GoldenTraceTest,
    ::testing::Combine(::testing::ValuesIn(kChips), ::testing::ValuesIn(kPersonalities)),
    [](const auto& p) {
        return std::string(std::get<0>(p.param).name) + std::get<1>(p.param).name;
    });

// A chip that never answers the read-back gets nothing written to it.
TEST(SimReadBackFault, SilentChipGetsNoWrite) {
    for (const Variant variant : {WriteIcs9248, WriteRtm560}) {
        ChipCase chip{"NoChip", 2, "", variant, {}, {}};
        sim::SimMachine machine(Describe(chip, kPersonalities[0]));
        test::RecordingShell shell;
        Context ctx{machine, shell, kOsWin9x, {}};
        SmbusAccess access;
        access.controllerKind = 2;
        access.operation = kSmbusOperationBlockWrite;
        access.ioBase = kBase;
        access.readAddress = kClockGenReadAddress;
        access.writeAddress = kClockGenWriteAddress;
        const uint8_t select = kSelect;
        EXPECT_EQ(variant(access, 1, &select, ctx, kNoDevice), 0);
        Strings traffic;
        for (const auto& t : machine.trace().Transactions()) traffic.push_back(Describe(t));
        EXPECT_EQ(traffic, (Strings{"r d3 [] no-ack"}));
        EXPECT_DOUBLE_EQ(machine.BusClockMHz(), 100.0);
    }
}

class SimPciTest : public ::testing::TestWithParam<Personality> {};

TEST_P(SimPciTest, HostBridgeRegisterReadsBack) {
    sim::MachineDescription d;
    d.os = GetParam().os;
    sim::SimMachine machine(d);
    machine.SetHostBridgeRegister(0x50, 0x12345678);
    test::RecordingShell shell;
    SystemInfo info;
    Context ctx{machine, shell, OsKindFromVersion(machine.GetOsVersion()), {}};
    ASSERT_EQ(OpenDriverForBios(info, ctx), 1);
    uint32_t value = 0;
    EXPECT_EQ(ScanPCIValue(info, ctx, 0, 0, 0, 0x50, value), 1);
    EXPECT_EQ(value, 0x12345678u);
}

INSTANTIATE_TEST_SUITE_P(Systems, SimPciTest, ::testing::ValuesIn(kPersonalities),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace vc
