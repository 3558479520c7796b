// What the helper serves and what it refuses, one request at a time.
#include "helper/request_handler.h"

#include <gtest/gtest.h>

#include <cstring>

#include "helper/fake_hardware.h"
#include "helper/requests.h"

namespace vc::helper {
namespace {

using test::FakeHardware;
using test::SmbusFields;

constexpr uint32_t kUid = 1000;

class Handler : public ::testing::Test {
protected:
    WireResponse Send(const WireRequest& request) { return handler.Handle(request, kUid); }

    FakeHardware hw;
    test::LogLines log;
    RequestHandler handler{hw, log.Sink()};
};

// --- SMBus writes ---------------------------------------------------------------
// (A wrong ioBase, kind, address, an over-long count and a short buffer are
// refused end to end in server_test.cpp.)

struct Refusal {
    const char* what;
    uint32_t code;
    SmbusFields fields;
    std::vector<uint8_t> data;
    size_t inputLength;  // of the 28 bytes, how many are sent
    const char* reason;
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.what; }

class SmbusRefusal : public Handler, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SmbusRefusal, FailsWritesNothingAndLogsTheReasonWithTheUid) {
    const Refusal& r = GetParam();
    WireRequest request = test::SmbusWrite(r.code, r.fields, r.data);
    request.input.resize(r.inputLength);
    EXPECT_FALSE(Send(request).ok);
    EXPECT_TRUE(hw.writes.empty());
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", r.code);
    EXPECT_EQ(log.Last(), std::string("refused uid=1000 code=") + code + ": " + r.reason);
}

SmbusFields With(void (*change)(SmbusFields&)) {
    SmbusFields f;
    change(f);
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, SmbusRefusal,
    ::testing::Values(
        Refusal{"ioBase of a PCI register, not a controller", kReqNtSmbusBlockWrite,
                With([](SmbusFields& f) { f.ioBase = 0x0CF8; }), {0x12}, 28,
                "ioBase 0x0CF8 is no SMBus controller PCI shows"},
        Refusal{"kind unknown", kReqNtSmbusBlockWrite,
                With([](SmbusFields& f) { f.ioBase = 0x0600; f.kind = 3; }), {0x12}, 28,
                "kind 3 does not match the controller at 0x0600 (kind 2)"},
        Refusal{"read address instead of write", kReqNtSmbusBlockWrite,
                With([](SmbusFields& f) { f.writeAddress = 0xD3; }), {0x12}, 28,
                "address 0xD3 is not the clock generator's (0xD2)"},
        Refusal{"count 0", kReqNtSmbusBlockWrite, With([](SmbusFields& f) { f.count = 0; }), {0x12}, 28,
                "count 0 is outside 1..32"},
        Refusal{"fewer data bytes than the count", kReqNtSmbusBlockWrite,
                With([](SmbusFields& f) { f.count = 3; }), {0x12, 0x34}, 28, "2 data bytes for a count of 3"},
        Refusal{"operation other than block write", kReqNtSmbusBlockWrite,
                With([](SmbusFields& f) { f.operation = 1; }), {0x12}, 28, "operation 1 is not a block write"},
        Refusal{"mask wider than a byte", kReqNtSmbusBlockWrite, With([](SmbusFields& f) { f.mask = 0x180; }),
                {0x12}, 28, "mask 0x00000180 is not a byte"},
        Refusal{"chip sequence on the block-buffer controller", kReqNtIcs9248, SmbusFields{}, {0x12}, 28,
                "the chip sequence needs a byte-by-byte controller (kind 2)"},
        Refusal{"RTM560 sequence on the block-buffer controller", kReqNtRtm560, SmbusFields{}, {0x12}, 28,
                "the chip sequence needs a byte-by-byte controller (kind 2)"}));

TEST_F(Handler, RefusesAnUnknownCode) {
    EXPECT_FALSE(Send({0x9C402464, {}, 4, {}}).ok);
    EXPECT_EQ(log.Last(), "refused uid=1000 code=0x9C402464: unknown request code");
}

TEST_F(Handler, RefusesAWriteToADisabledControllerNobodyOwns) {
    hw.controllers[1].enabled = false;
    SmbusFields f;
    f.ioBase = 0x0600;
    f.kind = 2;
    EXPECT_FALSE(Send(test::SmbusWrite(kReqNtSmbusBlockWrite, f, {0x12})).ok);
    EXPECT_TRUE(hw.writes.empty());
    EXPECT_EQ(log.Last(), "refused uid=1000 code=0x9C402450: the controller at 0x0600 is disabled");
}

struct GoodWrite {
    const char* what;
    uint32_t code;
    uint32_t ioBase;
    uint32_t kind;
    SmbusVariant variant;
};

void PrintTo(const GoodWrite& g, std::ostream* os) { *os << g.what; }

class SmbusGoodWrite : public Handler, public ::testing::WithParamInterface<GoodWrite> {};

TEST_P(SmbusGoodWrite, RunsTheSequenceOfCodeAndKindOnTheClockGenerator) {
    const GoodWrite& g = GetParam();
    SmbusFields f;
    f.ioBase = g.ioBase;
    f.kind = g.kind;
    f.count = 2;
    f.mask = 0x80;
    // Bytes past the count are not the clock generator's.
    ASSERT_TRUE(Send(test::SmbusWrite(g.code, f, {0x12, 0x34, 0x56})).ok);
    ASSERT_EQ(hw.writes.size(), 1u);
    const auto& w = hw.writes[0];
    EXPECT_EQ(w.controller.ioBase, g.ioBase);
    EXPECT_EQ(w.write.variant, g.variant);
    EXPECT_EQ(w.write.address7, 0x69);
    EXPECT_EQ(w.write.firstByteMask, 0x80);
    EXPECT_EQ(w.write.data, (std::vector<uint8_t>{0x12, 0x34}));
}

INSTANTIATE_TEST_SUITE_P(
    Requests, SmbusGoodWrite,
    ::testing::Values(
        GoodWrite{"block write, block-buffer controller", kReqNtSmbusBlockWrite, 0x0700, 1, SmbusVariant::BlockBuffered},
        GoodWrite{"block write, byte-by-byte controller", kReqNtSmbusBlockWrite, 0x0600, 2, SmbusVariant::BlockByteWise},
        GoodWrite{"ICS9248 sequence", kReqNtIcs9248, 0x0600, 2, SmbusVariant::Ics9248},
        GoodWrite{"RTM560 sequence", kReqNtRtm560, 0x0600, 2, SmbusVariant::Rtm560}));

TEST_F(Handler, TheLargestCountIsAWholeBlockBuffer) {
    SmbusFields f;
    f.count = 32;
    std::vector<uint8_t> block(32);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(0xA0 + i);
    ASSERT_TRUE(Send(test::SmbusWrite(kReqNtSmbusBlockWrite, f, block)).ok);
    ASSERT_EQ(hw.writes.size(), 1u);
    EXPECT_EQ(hw.writes[0].write.data, block);
}

TEST_F(Handler, LogsEveryWriteWithUidCodeBaseKindAndBytes) {
    SmbusFields f;
    f.count = 2;
    f.mask = 0x80;
    ASSERT_TRUE(Send(test::SmbusWrite(kReqNtSmbusBlockWrite, f, {0x12, 0x34})).ok);
    EXPECT_EQ(log.Last(),
              "write uid=1000 code=0x9C402450 ioBase=0x0700 kind=1 address=0x69 mask=0x80 bytes=[0x12 0x34] "
              "through /dev/i2c-0: done");

    hw.writeSucceeds = false;
    EXPECT_FALSE(Send(test::SmbusWrite(kReqNtSmbusBlockWrite, f, {0x12, 0x34})).ok);
    EXPECT_EQ(log.Last(),
              "write uid=1000 code=0x9C402450 ioBase=0x0700 kind=1 address=0x69 mask=0x80 bytes=[0x12 0x34] "
              "through /dev/i2c-0: failed");
}

TEST_F(Handler, TestAddressRedirectsTheWriteButTheRequestMustStillNameTheClockGenerator) {
    RequestHandler redirected(hw, log.Sink(), 0x50);
    EXPECT_TRUE(redirected.Handle(test::SmbusWrite(kReqNtSmbusBlockWrite, {}, {0x12}), kUid).ok);
    ASSERT_EQ(hw.writes.size(), 1u);
    EXPECT_EQ(hw.writes[0].write.address7, 0x50);

    SmbusFields atTheDevice;
    atTheDevice.writeAddress = 0xA0;
    EXPECT_FALSE(redirected.Handle(test::SmbusWrite(kReqNtSmbusBlockWrite, atTheDevice, {0x12}), kUid).ok);
    EXPECT_EQ(hw.writes.size(), 1u);
}

// --- BIOS search ----------------------------------------------------------------

TEST_F(Handler, BiosSearchAnswersWhetherTheWindowHoldsTheString) {
    const char id[] = "ABCBOARD";
    std::memcpy(hw.window.data() + 0xE100, id, sizeof id - 1);
    EXPECT_TRUE(Send(test::BiosFind("ABCBOARD")).ok);
    EXPECT_FALSE(Send(test::BiosFind("XYZBOARD")).ok);
    EXPECT_EQ(hw.windowReads, 2);
    EXPECT_TRUE(log.Lines().empty());  // not finding a board is no event
}

TEST_F(Handler, BiosSearchRefusesAFieldWithoutTerminatorBeforeReadingAnything) {
    EXPECT_FALSE(Send(test::BiosFind("SIXTEEN CHARS!!!")).ok);
    EXPECT_EQ(hw.windowReads, 0);
    EXPECT_EQ(log.Last(), "refused uid=1000 code=0x9C402458: identification string without a terminator");
}

TEST_F(Handler, BiosSearchRefusesAShortField) {
    WireRequest request = test::BiosFind("ABC");
    request.input.resize(15);
    EXPECT_FALSE(Send(request).ok);
    EXPECT_EQ(hw.windowReads, 0);
    EXPECT_EQ(log.Last(), "refused uid=1000 code=0x9C402458: short input: 15 of 16 bytes");
}

TEST_F(Handler, BiosSearchFailsAndSaysSoWhenTheWindowIsUnreadable) {
    hw.windowReadable = false;
    EXPECT_FALSE(Send(test::BiosFind("ABC")).ok);
    EXPECT_EQ(log.Last(), "BIOS window unreadable: /dev/mem: Operation not permitted");
}

// --- configuration word -------------------------------------------------------------

TEST_F(Handler, ConfigurationWordIsTheLowMsrWordForIntelAndAmd) {
    for (const uint32_t code : {kReqNtIntelRatio, kReqNtAmdRatio}) {
        const WireResponse r = Send({code, {}, 4, {}});
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.output, (std::vector<uint8_t>{0x45, 0x23, 0x41, 0x0A}));
    }
}

TEST_F(Handler, ConfigurationWordNeedsFourBytesOfOutputAndAReadableRegister) {
    EXPECT_FALSE(Send({kReqNtIntelRatio, {}, 3, {}}).ok);
    EXPECT_EQ(log.Last(), "refused uid=1000 code=0x9C40245C: short output: 3 of 4 bytes");
    hw.configWordReadable = false;
    EXPECT_FALSE(Send({kReqNtAmdRatio, {}, 4, {}}).ok);
    EXPECT_EQ(log.Last(), "configuration word unreadable: /dev/cpu/0/msr: Input/output error");
}

// --- PCI configuration ----------------------------------------------------------------

TEST_F(Handler, PciReadDecodesTheMechanismOneAddress) {
    hw.pci[FakeHardware::PciKey(0, 0x1F, 3, 0x20)] = 0x0000'0601;
    // bus 0, device 0x1F, function 3, register 0x22: the aligned dword at 0x20.
    const WireResponse r = Send(test::PciRead(0x8000'FB22));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.output, (std::vector<uint8_t>{0x01, 0x06, 0x00, 0x00}));
    EXPECT_EQ(hw.pciAsked, (std::vector<std::string>{"0:31.3@32"}));
}

TEST_F(Handler, PciReadOfAnAbsentDeviceGivesAllOnes) {
    const WireResponse r = Send(test::PciRead(0x8005'0000));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.output, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(hw.pciAsked, (std::vector<std::string>{"5:0.0@0"}));
}

TEST_F(Handler, PciReadWithoutTheEnableBitMakesNoConfigurationCycle) {
    const WireResponse r = Send(test::PciRead(0x0000'FB20));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.output, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(hw.pciAsked.empty());
}

// Past the 64-byte header only the registers the program reads: the host
// bridge's 0x50, each SMBus function's base and host enable.
TEST_F(Handler, PciReadPastTheHeaderOnlyWhereTheProgramReads) {
    for (const uint32_t allowed : {0x8000'FB3Cu, 0x8000'0050u, 0x8000'0B90u, 0x8000'0BD0u, 0x8000'FB40u, 0x8001'0000u}) {
        EXPECT_TRUE(Send(test::PciRead(allowed)).ok) << std::hex << allowed;
    }
    EXPECT_EQ(hw.pciAsked.size(), 6u);
    hw.pciAsked.clear();
    for (const uint32_t refused : {0x8000'0054u, 0x8000'0040u, 0x8000'0B94u, 0x8000'FB44u, 0x8000'0AD0u, 0x8001'0050u}) {
        EXPECT_FALSE(Send(test::PciRead(refused)).ok) << std::hex << refused;
    }
    EXPECT_TRUE(hw.pciAsked.empty());
    EXPECT_EQ(log.Last(), "refused uid=1000 code=0x9C402454: PCI register 0x50 of 0000:01:00.0 is none the program reads");
}

TEST_F(Handler, PciReadRefusesShortBuffers) {
    EXPECT_FALSE(Send(test::PciRead(0x8000'0000, 2)).ok);
    EXPECT_EQ(log.Last(), "refused uid=1000 code=0x9C402454: short buffer: input 4, output 2 of 4 bytes");
    WireRequest shortInput = test::PciRead(0x8000'0000);
    shortInput.input.resize(3);
    EXPECT_FALSE(Send(shortInput).ok);
    EXPECT_TRUE(hw.pciAsked.empty());
}

// --- probe ----------------------------------------------------------------------------

// The probe's input word asking for the clock generator's block read.
const std::vector<uint8_t> kReadChip = {0x01, 0x00, 0x00, 0x00};

TEST_F(Handler, ProbeReportsEveryControllerAndWhetherTheClockGeneratorAnswers) {
    hw.controllers.push_back({"0000:00:1f.4", 0x8086, 0x2930, 2, 0x0580, false, "", ""});
    hw.controllers[1].acpiRegion = "\\SM00";  // the kernel declined it: ACPI claims its ports
    hw.readBack = std::vector<uint8_t>{0x00, 0xFF, 0x6D, 0x06};
    hw.pci[FakeHardware::PciKey(0, 0, 0, 0)] = 0x71908086;
    const char board[] = "P3B-F ACPI BIOS";
    std::copy(board, board + sizeof board, hw.window.begin() + 0xF120);
    // Unasked, nothing is block-read.
    const WireResponse unread = Send({kReqProbe, {}, 1024, {}});
    ASSERT_TRUE(unread.ok);
    const std::string unreadText(unread.output.begin(), unread.output.end());
    EXPECT_NE(unreadText.find("clockgen controller=0x0700 address=0x69 answers=yes readback=skipped\n"
                              "clockgen controller=0x0600 address=0x69 answers=yes readback=skipped\n"),
              std::string::npos) << unreadText;
    EXPECT_EQ(hw.blockReads, 0);
    hw.probed.clear();

    const WireResponse r = Send({kReqProbe, kReadChip, 1024, {}});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(hw.blockReads, 2);
    EXPECT_EQ(std::string(r.output.begin(), r.output.end()),
              "controller kind=1 base=0x0700 pci=0000:00:01.3 driver=piix4_smbus adapter=/dev/i2c-0\n"
              "controller kind=2 base=0x0600 pci=0000:00:1f.3 driver=none adapter=none acpi=\\SM00\n"
              "controller kind=2 base=0x0580 pci=0000:00:1f.4 driver=none adapter=none\n"
              "clockgen controller=0x0700 address=0x69 answers=yes readback=00,ff,6d,06\n"
              "clockgen controller=0x0600 address=0x69 answers=yes readback=00,ff,6d,06\n"
              "clockgen controller=0x0580 address=0x69 answers=unknown\n"
              "hostbridge id=0x71908086\n"
              "bios offset=0xF120 dmi=no text=\"P3B-F\"\n"
              "bios offset=0xF126 dmi=no text=\"ACPI\"\n"
              "bios offset=0xF12B dmi=no text=\"BIOS\"\n");
    // The disabled controller nobody owns is not touched.
    EXPECT_EQ(hw.probed, (std::vector<std::string>{"0000:00:01.3@0x69", "0000:00:1f.3@0x69"}));
    EXPECT_TRUE(hw.writes.empty());
}

TEST_F(Handler, ProbeSaysNoWhenNothingAcknowledgesAndRefusesAShortBuffer) {
    hw.controllers.resize(1);
    hw.answers = false;
    const WireResponse r = Send({kReqProbe, kReadChip, 1024, {}});
    ASSERT_TRUE(r.ok);
    EXPECT_NE(std::string(r.output.begin(), r.output.end()).find("answers=no\n"), std::string::npos);
    hw.answers = true;  // answers, but the block read fails
    const WireResponse failedRead = Send({kReqProbe, kReadChip, 1024, {}});
    EXPECT_NE(std::string(failedRead.output.begin(), failedRead.output.end()).find("answers=yes readback=none\n"),
              std::string::npos);
    EXPECT_FALSE(Send({kReqProbe, kReadChip, 40, {}}).ok);
    EXPECT_EQ(log.Last(), "refused uid=1000 code=0x9C4024F0: the report takes 151 bytes, 40 offered");
}

}  // namespace
}  // namespace vc::helper
