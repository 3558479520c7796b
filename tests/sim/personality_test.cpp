// Operating-system personalities: which device answers, what its requests
// give, direct port access, the BIOS and PCI paths, and injected faults.
#include <gtest/gtest.h>

#include <ostream>

#include "sim_fixtures.h"

namespace vc::sim {
namespace {

using test::Board;

struct OpenCase {
    uint32_t osKind;
    bool opens9x;
    bool opensNt;
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << "osKind " << c.osKind; }

class DeviceOpening : public ::testing::TestWithParam<OpenCase> {};

TEST_P(DeviceOpening, OnlyThePersonalitysOwnDeviceOpens) {
    const auto& c = GetParam();
    SimMachine m(Board(1, "generic", c.osKind));
    EXPECT_EQ(static_cast<int32_t>(c.osKind), m.personality());
    EXPECT_EQ(c.opens9x, m.OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xDynamic) != kNoDevice);
    EXPECT_EQ(c.opensNt, m.OpenDevice(kNtDriverName, DeviceOpenMode::NtShared) != kNoDevice);
    // The wrong open mode never opens.
    EXPECT_EQ(kNoDevice, m.OpenDevice(kWin9xDriverName, DeviceOpenMode::NtShared));
    EXPECT_EQ(kNoDevice, m.OpenDevice(kNtDriverName, DeviceOpenMode::Win9xDynamic));
}

INSTANTIATE_TEST_SUITE_P(Kinds, DeviceOpening,
                         ::testing::Values(OpenCase{0, false, false}, OpenCase{1, true, false},
                                           OpenCase{2, false, true}, OpenCase{3, false, true}));

TEST(Win9xDriver, HandsOutTheBiosWindowAndResolvesOnlyThatAddress) {
    MachineDescription d = Board(1, "generic", 1);
    d.bios.strings = {{0xE000, "6BXE-R1.2"}};
    SimMachine m(d);
    const DeviceHandle h = m.OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xDynamic);
    std::vector<uint8_t> out(4);
    ASSERT_TRUE(m.DeviceIoControl(h, {kReq9xBiosWindow, {}, out, {}}));
    m.CloseDevice(h);
    EXPECT_EQ(0U, m.OpenDeviceCount());
    const auto window = m.ResolveBiosWindow(GetLe32(out, 0));
    ASSERT_EQ(0x10000U, window.size());
    EXPECT_EQ('6', window[0xE000]);
    EXPECT_TRUE(m.ResolveBiosWindow(GetLe32(out, 0) + 1).empty());
    EXPECT_TRUE(m.ResolveBiosWindow(0).empty());
}

struct WordCase {
    const char* vendor;
    double multiplier;
    std::optional<uint32_t> ratioCode;
    bool extended;
    uint32_t expectedWord;
    // The NT driver reads the word only where the vendor's rule says the
    // register exists; the 9x device answers whatever the vendor.
    bool ntReads = true;
};

void PrintTo(const WordCase& c, std::ostream* os) { *os << c.vendor << " x" << c.multiplier; }

class ConfigurationWord : public ::testing::TestWithParam<WordCase> {};

TEST_P(ConfigurationWord, CarriesTheMultiplierCodeOnEveryRequest) {
    const auto& c = GetParam();
    for (uint32_t osKind : {1U, 3U}) {
        MachineDescription d = Board(1, "generic", osKind);
        d.cpu.vendor = c.vendor;
        d.cpu.multiplier = c.multiplier;
        d.cpu.ratioCode = c.ratioCode;
        d.cpu.ratioExtended = c.extended;
        SimMachine m(d);
        const bool nt = osKind == 3;
        for (uint32_t code : nt ? std::vector<uint32_t>{kReqNtIntelRatio, kReqNtAmdRatio}
                                : std::vector<uint32_t>{kReq9xIntelRatio, kReq9xAmdRatio, kReq9xOtherRatio}) {
            const DeviceHandle h = nt ? m.OpenDevice(kNtDriverName, DeviceOpenMode::NtShared)
                                      : m.OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xDynamic);
            std::vector<uint8_t> out(4, 0xEE);
            const bool reads = !nt || c.ntReads;
            ASSERT_EQ(reads, m.DeviceIoControl(h, {code, {}, out, {}})) << c.vendor << " request " << code;
            EXPECT_EQ(reads ? c.expectedWord : 0xEEEEEEEEu, GetLe32(out, 0)) << c.vendor << " request " << code;
            m.CloseDevice(h);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vendors, ConfigurationWord,
    ::testing::Values(WordCase{"GenuineIntel", 5.0, std::nullopt, false, 0x00000000},
                      WordCase{"GenuineIntel", 4.5, std::nullopt, false, 6U << 22},
                      WordCase{"GenuineIntel", 12.0, std::nullopt, false, 2U << 22 | 1U << 27},
                      WordCase{"GenuineIntel", 4.5, 8U, false, 8U << 22},  // a code no table knows
                      WordCase{"AuthenticAMD", 5.5, std::nullopt, false, 5U << 24},
                      WordCase{"AuthenticAMD", 10.5, std::nullopt, false, 15U << 24},
                      WordCase{"CyrixInstead", 3.0, std::nullopt, false, 0, false}));

struct FindCase {
    const char* what;
    uint32_t offset;
    std::string placed;
    std::vector<uint8_t> field;
    bool found;
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << c.what; }

std::vector<uint8_t> Field(const std::string& text) {
    std::vector<uint8_t> f(16, 0xAA);  // bytes after the terminator mean nothing
    for (size_t i = 0; i < text.size() && i < 16; ++i) f[i] = static_cast<uint8_t>(text[i]);
    if (text.size() < 16) f[text.size()] = 0;
    return f;
}

class NtBiosFind : public ::testing::TestWithParam<FindCase> {};

TEST_P(NtBiosFind, SearchesOnlyTheTopOfTheWindow) {
    const auto& c = GetParam();
    MachineDescription d = Board(1, "generic", 2);
    d.bios.strings = {{c.offset, c.placed}};
    SimMachine m(d);
    std::vector<uint8_t> out;
    EXPECT_EQ(c.found, test::NtRequest(m, kReqNtBiosFind, c.field, out)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NtBiosFind,
    ::testing::Values(FindCase{"at 0xE000", 0xE000, "Q6B1-R1.0", Field("Q6B1-R1.0"), true},
                      FindCase{"at 0xDFFF only", 0xDFFF, "Q6B1-R1.0", Field("Q6B1-R1.0"), false},
                      FindCase{"ending at 0xFFFF", 0xFFF7, "Q6B1-R1.0", Field("Q6B1-R1.0"), true},
                      FindCase{"another string", 0xF000, "Q6B1-R1.0", Field("Q6B2-R2.1"), false},
                      FindCase{"prefix of the BIOS text", 0xF000, "Q6B1-R1.0", Field("Q6B1"), true},
                      FindCase{"empty string", 0xF000, "Q6B1-R1.0", Field(""), true},
                      FindCase{"15 characters", 0xF000, "ABCDEFGHIJKLMNO", Field("ABCDEFGHIJKLMNO"), true},
                      FindCase{"16 bytes, no terminator", 0xF000, "ABCDEFGHIJKLMNOP",
                               Field("ABCDEFGHIJKLMNOP"), false},
                      FindCase{"input shorter than 16 bytes", 0xF000, "AB", {'A', 'B', 0}, false}));

TEST(DirectPorts, PciHostBridgeAnswersThroughCf8AndCfcOn9x) {
    MachineDescription d = Board(1, "generic", 1);
    d.pci.registers[0x50] = 0x00000004;
    SimMachine m(d);
    m.OutPort32(0xCF8, 0x80000050);
    EXPECT_EQ(0x00000004U, m.InPort32(0xCFC));
    m.OutPort32(0xCF8, 0x80000000);
    EXPECT_EQ(d.pci.hostBridgeId, m.InPort32(0xCFC));
    m.OutPort32(0xCF8, 0x80000800);  // device 1: nobody
    EXPECT_EQ(0xFFFFFFFFU, m.InPort32(0xCFC));
    m.OutPort32(0xCF8, 0x00000050);  // enable bit clear
    EXPECT_EQ(0xFFFFFFFFU, m.InPort32(0xCFC));
    m.SetHostBridgeRegister(0x50, 0);
    m.OutPort32(0xCF8, 0x80000050);
    EXPECT_EQ(0U, m.InPort32(0xCFC));
    EXPECT_EQ(0xFF, m.InPort8(0x1234));  // nothing there
}

TEST(DirectPorts, RefusedOnNtAndTracedAsDenied) {
    SimMachine m(Board(1, "generic", 3));
    m.OutPort8(0x5000 + smbus::kBlockData, 0x20);
    m.OutPort8(0x5000 + smbus::kData0, 1);
    m.OutPort8(0x5000 + smbus::kAddress, 0xD2);
    m.OutPort8(0x5000 + smbus::kControl, smbus::kStartBlock);
    EXPECT_EQ(0xFF, m.InPort8(0x5000));
    EXPECT_EQ(0xFFFFFFFFU, m.InPort32(0xCFC));
    EXPECT_TRUE(m.trace().Transactions().empty());
    EXPECT_DOUBLE_EQ(100.0, m.BusClockMHz());
    const auto lines = m.TraceLines();
    ASSERT_EQ(6U, lines.size());
    EXPECT_EQ("port out 0x5007 <- 0x20 denied", lines[0]);
    EXPECT_EQ("port in32 0x0CFC -> 0xFFFFFFFF denied", lines[5]);
}

TEST(NtPciRead, ReadsTheHostBridge) {
    MachineDescription d = Board(1, "generic", 3);
    d.pci.registers[0x50] = 0x12345674;
    SimMachine m(d);
    std::vector<uint8_t> out(4);
    ASSERT_TRUE(test::NtRequest(m, kReqNtPciRead, {0x50, 0x00, 0x00, 0x80}, out));
    EXPECT_EQ(0x12345674U, GetLe32(out, 0));
    std::vector<uint8_t> small(3);
    EXPECT_FALSE(test::NtRequest(m, kReqNtPciRead, {0x50, 0x00, 0x00, 0x80}, small));
}

// --- injected faults ---------------------------------------------------------------

struct FaultCase {
    Fault fault;
    uint32_t osKind;
    uint32_t code;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << "fault " << static_cast<int>(c.fault) << " osKind " << c.osKind << " code 0x" << std::hex << c.code << std::dec; }

class InjectedFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(InjectedFault, FailsOnlyItsOwnRequestKind) {
    const auto& c = GetParam();
    const std::vector<FaultCase> all = {
        {Fault::BiosRequest, 1, kReq9xBiosWindow}, {Fault::ConfigWord, 1, kReq9xIntelRatio},
        {Fault::BiosRequest, 3, kReqNtBiosFind},   {Fault::ConfigWord, 3, kReqNtIntelRatio},
        {Fault::Pci, 3, kReqNtPciRead},            {Fault::Smbus, 3, kReqNtSmbusBlockWrite},
        {Fault::Smbus, 3, kReqNtIcs9248},          {Fault::Smbus, 3, kReqNtRtm560}};
    MachineDescription d = Board(2, "ICS9248-153", c.osKind);
    d.bios.strings = {{0xF000, "6BXD-R2.0"}};
    SimMachine m(d);
    m.SetFault(c.fault, true);
    for (const auto& other : all) {
        if (other.osKind != c.osKind) continue;
        std::vector<uint8_t> input;
        std::vector<uint8_t> referenced;
        if (other.code == kReqNtBiosFind) input = Field("6BXD-R2.0");
        if (other.code == kReqNtPciRead) input = {0, 0, 0, 0x80};
        if (other.code == kReqNtSmbusBlockWrite || other.code == kReqNtIcs9248 || other.code == kReqNtRtm560) {
            input = test::SmbusRequest(0xEF00, 1, 2, 0);
            referenced = {0x20};
        }
        std::vector<uint8_t> out(28);
        const DeviceHandle h = c.osKind == 1 ? m.OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xDynamic)
                                             : m.OpenDevice(kNtDriverName, DeviceOpenMode::NtShared);
        ASSERT_NE(kNoDevice, h);
        const bool ok = m.DeviceIoControl(h, {other.code, input, out, referenced});
        m.CloseDevice(h);
        // The RTM sequence fails on an ICS chip anyway (its read-back is short).
        const bool expected = other.fault != c.fault && other.code != kReqNtRtm560;
        EXPECT_EQ(expected, ok) << "request " << std::hex << other.code;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, InjectedFault,
                         ::testing::Values(FaultCase{Fault::BiosRequest, 1, 0}, FaultCase{Fault::ConfigWord, 1, 0},
                                           FaultCase{Fault::BiosRequest, 3, 0}, FaultCase{Fault::ConfigWord, 3, 0},
                                           FaultCase{Fault::Pci, 3, 0}, FaultCase{Fault::Smbus, 3, 0}));

TEST(InjectedFault, MissingDriverOpensNothing) {
    for (uint32_t osKind : {1U, 2U, 3U}) {
        MachineDescription d = Board(1, "generic", osKind);
        d.faults.driverMissing = true;
        SimMachine m(d);
        EXPECT_EQ(kNoDevice, m.OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xDynamic));
        EXPECT_EQ(kNoDevice, m.OpenDevice(kNtDriverName, DeviceOpenMode::NtShared));
    }
}

TEST(Devices, ClosedOrUnknownHandlesAnswerNothing) {
    SimMachine m(Board(1, "generic", 3));
    const DeviceHandle h = m.OpenDevice(kNtDriverName, DeviceOpenMode::NtShared);
    m.CloseDevice(h);
    std::vector<uint8_t> out(4);
    EXPECT_FALSE(m.DeviceIoControl(h, {kReqNtIntelRatio, {}, out, {}}));
    EXPECT_FALSE(m.DeviceIoControl(12345, {kReqNtIntelRatio, {}, out, {}}));
    const DeviceHandle h2 = m.OpenDevice(kNtDriverName, DeviceOpenMode::NtShared);
    EXPECT_FALSE(m.DeviceIoControl(h2, {0x9C402464, {}, out, {}}));  // no such request
}

}  // namespace
}  // namespace vc::sim
