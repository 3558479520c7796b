// The register sequences of the four write variants and the block read, as
// the program runs them on its own ports (no start checks), against a
// controller that answers from a script; and the NT request that carries
// the same write to the simulated driver.
#include "core/hw/smbus_sequences.h"

#include <gtest/gtest.h>

#include <ostream>

#include "core/app/bus_fault_report.h"
#include "core/base/little_endian.h"
#include "core/board/clock_programming.h"
#include "core/hw/process_end.h"
#include "core/hw/register_trace.h"
#include "sim/sim_fixtures.h"
#include "support/sim_rig.h"

namespace vc {
namespace {

using test::ScriptedPorts;
using Strings = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

constexpr uint16_t kBase = 0x5000;

Strings Cat(std::initializer_list<Strings> parts) {
    Strings all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::string Out(int reg, uint8_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "w%x:%02x", reg, value);
    return text;
}

// The chip's block coming back through the byte-by-byte controller.
Strings ReadBack(int reported) {
    Strings s = {"r2", "wait", "w0:ff", "wait", "w4:d3", "w3:00", "wait", "w2:54", "wait", "r0", "wait", "r5"};
    for (int i = 0; i < reported; ++i) s.insert(s.end(), {"r7", "w0:ff", "wait"});
    return s;
}

// Kind 2 block bytes: the first starts the transaction, the rest are
// released by clearing the status.
Strings ByteWise(const Bytes& bytes) {
    Strings s;
    for (size_t i = 0; i < bytes.size(); ++i) {
        s.insert(s.end(), {Out(7, bytes[i]), i == 0 ? "w2:54" : "w0:ff", "wait"});
    }
    return s;
}

class SmbusTest : public ::testing::Test {
protected:
    bool Write(SmbusVariant variant, const Bytes& data) {
        return RunSmbusWrite(ports, variant, target, data, StartChecks::None);
    }

    // The chip answers a read-back with `reported` as its count and `bytes`.
    void ChipAnswers(uint8_t status, uint8_t reported, const Bytes& bytes) {
        ports.replies[kBase + 0] = {status};
        ports.replies[kBase + 5] = {reported};
        ports.replies[kBase + 7] = {bytes.begin(), bytes.end()};
    }

    ScriptedPorts ports;
    SmbusTarget target{kBase, 0xD2, 0xD3, 0x08};
};

TEST_F(SmbusTest, BufferedFillsTheBlockBufferThenStarts) {
    Write(SmbusVariant::BlockBuffered, {0x41, 0x41, 0x08});
    EXPECT_EQ(ports.Registers(kBase),
              (Strings{"r2", "w0:ff", "w4:d2", "w3:00", "w5:03", "w7:49", "w7:41", "w7:08", "wait", "w2:54", "r0"}));
}

TEST_F(SmbusTest, BufferedAnswersTheCompletionBit) {
    const std::pair<uint8_t, bool> cases[] = {{0x00, false}, {0x01, false}, {0x02, true}, {0x03, true}, {0xFD, false}};
    for (const auto& [status, result] : cases) {
        ports.replies[kBase] = {status};
        EXPECT_EQ(Write(SmbusVariant::BlockBuffered, {0x41}), result) << int(status);
    }
}

TEST_F(SmbusTest, ByteWiseLatchesFirstByteAndReleasesTheRest) {
    EXPECT_TRUE(Write(SmbusVariant::BlockByteWise, {0x41, 0x41, 0x08}));
    EXPECT_EQ(ports.Registers(kBase),
              Cat({{"r2", "w0:ff", "w3:00", "w4:d2", "w5:03"}, ByteWise({0x49, 0x41, 0x08})}));
}

TEST_F(SmbusTest, Ics9248ReplacesByteSixAndSendsItTwice) {
    const Bytes chip = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76};
    ChipAnswers(0x01, 7, chip);
    EXPECT_TRUE(Write(SmbusVariant::Ics9248, {0x41}));
    EXPECT_EQ(ports.Registers(kBase),
              Cat({ReadBack(7), {"r2", "w0:ff", "w3:00", "w4:d2", "w5:07"},
                   ByteWise({0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x49}),
                   {"w7:49", "w2:54", "wait", "w0:ff", "wait", "w2:20", "wait"}}));
}

TEST_F(SmbusTest, Rtm560WritesBlockBackWithByteSixteenFixedThenTwoWordsThenSelect) {
    Bytes chip(17);
    for (size_t i = 0; i < chip.size(); ++i) chip[i] = static_cast<uint8_t>(0xA0 + i);
    Bytes back = chip;
    back[16] = 0x4B;  // whatever the chip reported there (0xB0)
    ChipAnswers(0x01, 17, chip);
    EXPECT_TRUE(Write(SmbusVariant::Rtm560, {0x41}));

    Strings words;
    for (const char* w : {"w0:ff", "w2:20", "w0:ff", "w5:00", "w3:1f", "w6:02", "w2:4c", "w0:ff",
                          "w2:20", "w0:ff", "w5:00", "w3:10", "w6:49", "w2:4c", "w0:ff", "w2:20"}) {
        words.insert(words.end(), {w, "wait"});
    }
    EXPECT_EQ(ports.Registers(kBase),
              Cat({ReadBack(17), {"r2", "w0:ff", "w3:00", "w4:d2", "w5:11"}, ByteWise(back), words,
                   {"r2", "w0:ff", "w4:d2", "w3:00", "w5:01"}, ByteWise({0x49})}));
    // The select byte's pause and one more before returning.
    EXPECT_GE(ports.nowPs - ports.events.back().atPs, 8 * test::kPsPerMs);
}

TEST_F(SmbusTest, BlockReadStopsWhenControllerIsIdle) {
    ChipAnswers(0x02, 7, {1, 2, 3});
    Bytes buffer(7, 0xEE);
    EXPECT_EQ(ReadSmbusBlock(ports, target, buffer), -1);
    EXPECT_EQ(buffer, Bytes(7, 0xEE));
    const Strings started = {"r2", "wait", "w0:ff", "wait", "w4:d3", "w3:00", "wait", "w2:54", "wait", "r0", "wait"};
    EXPECT_EQ(ports.Registers(kBase), started);
}

struct ReadCase {
    uint8_t reported;
    int32_t reads;
    int32_t received;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << "chip reports " << int(c.reported) << ": " << c.reads << " read, " << c.received << " received";
}

class BlockReadTest : public SmbusTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(BlockReadTest, ReadsWhatChipReportsKeepsWhatFits) {
    const ReadCase c = GetParam();
    Bytes chip(static_cast<size_t>(c.reads));
    for (size_t i = 0; i < chip.size(); ++i) chip[i] = static_cast<uint8_t>(i + 1);
    ChipAnswers(0x41, c.reported, chip);
    Bytes buffer(8, 0xEE);  // room for 5, then sentinels
    EXPECT_EQ(ReadSmbusBlock(ports, target, std::span(buffer).first(5)), c.received);
    EXPECT_EQ(ports.Registers(kBase), ReadBack(c.reads));
    for (int32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(buffer[static_cast<size_t>(i)], i < c.reads && i < 5 ? i + 1 : 0xEE) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, BlockReadTest,
                         ::testing::Values(ReadCase{5, 5, 5}, ReadCase{3, 3, 3}, ReadCase{9, 9, 9},
                                           ReadCase{0, 0, 0}, ReadCase{0x80, 0, 0},
                                           ReadCase{0xFF, 0, 0}));

struct ReadBackFault {
    const char* name;
    SmbusVariant variant;
    uint8_t status;
    uint8_t reported;
    int reads;  // -1: the controller was idle, nothing read
};

void PrintTo(const ReadBackFault& c, std::ostream* os) { *os << c.name; }

class ReadBackFaultTest : public SmbusTest, public ::testing::WithParamInterface<ReadBackFault> {};

// Writing back a block the chip did not fully deliver would put stale bytes
// into it: the write is abandoned right after the read-back.
TEST_P(ReadBackFaultTest, AbandonsWriteWithoutFurtherTraffic) {
    const ReadBackFault c = GetParam();
    ChipAnswers(c.status, c.reported, Bytes(20, 0x11));
    EXPECT_FALSE(Write(c.variant, {0x41}));
    Strings expected = ReadBack(c.reads < 0 ? 0 : c.reads);
    if (c.reads < 0) expected.pop_back();  // the count is never read
    EXPECT_EQ(ports.Registers(kBase), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReadBackFaultTest,
    ::testing::Values(ReadBackFault{"IcsIdle", SmbusVariant::Ics9248, 0x00, 7, -1},
                      ReadBackFault{"IcsShort", SmbusVariant::Ics9248, 0x01, 6, 6},
                      ReadBackFault{"IcsNegative", SmbusVariant::Ics9248, 0x01, 0x87, 0},
                      ReadBackFault{"RtmIdle", SmbusVariant::Rtm560, 0x02, 17, -1},
                      ReadBackFault{"RtmShort", SmbusVariant::Rtm560, 0x01, 16, 16},
                      ReadBackFault{"RtmEmpty", SmbusVariant::Rtm560, 0x01, 0, 0}),
    [](const auto& p) { return std::string(p.param.name); });

// --- the same writes as NT driver requests --------------------------------------

struct NtCase {
    const char* name;
    SmbusVariant variant;
    int32_t controllerKind;
    const char* chip;
    uint32_t code;
};

void PrintTo(const NtCase& c, std::ostream* os) { *os << c.name; }

class NtRequestTest : public ::testing::TestWithParam<NtCase> {
protected:
    // A board with the case's controller and chip at 0xEF00.
    static sim::MachineDescription Board(int32_t osKind) {
        sim::MachineDescription d =
            sim::test::Board(GetParam().controllerKind, GetParam().chip, static_cast<uint32_t>(osKind));
        d.board.smbusBase = 0xEF00;
        return d;
    }
    static SmbusAccess Access(int32_t controllerKind) {
        SmbusAccess access;
        access.controllerKind = controllerKind;
        access.operation = kSmbusOperationBlockWrite;
        access.firstByteMask = 0x08;  // the driver applies it
        access.ioBase = 0xEF00;
        access.readAddress = 0xD3;
        access.writeAddress = 0xD2;
        return access;
    }
};

TEST_P(NtRequestTest, OneRequestCarriesTheAccessBlock) {
    const NtCase c = GetParam();
    const Bytes data = {0x41, 0x07};
    for (const int32_t osKind : {kOsNt4, kOsWin2000}) {
        test::SimRig rig(Board(osKind));
        ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
        rig.platform.Clear();
        const BusResult result = rig.Bus().WriteSmbus(c.variant, Access(c.controllerKind), data);
        EXPECT_FALSE(result.Faulted());
        ASSERT_EQ(rig.platform.requests.size(), 1u);
        const auto& request = rig.platform.requests[0];
        EXPECT_EQ(request.code, c.code);
        EXPECT_EQ(request.handle, rig.Bus().DriverHandle());
        ASSERT_EQ(request.input.size(), 28u);
        const uint32_t expected[] = {0xEF00, 2, 0, 2, static_cast<uint32_t>(c.controllerKind), 0xD2, 0x08};
        for (size_t field = 0; field < 7; ++field) {
            EXPECT_EQ(GetLe32(request.input, 4 * field), expected[field]) << "field " << field;
        }
        EXPECT_EQ(request.outputSize, 28u);
        EXPECT_EQ(request.referenced, data);
        EXPECT_TRUE(rig.shell.messages.empty());
    }
}

// The database never holds a wider mask; the driver refuses one before
// anything reaches the bus.
TEST_P(NtRequestTest, MaskWiderThanAByteIsRefused) {
    test::SimRig rig(Board(kOsWin2000));
    ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
    SmbusAccess access = Access(GetParam().controllerKind);
    access.firstByteMask = 0x1208;
    const Bytes select = {0x41};
    EXPECT_EQ(rig.Bus().WriteSmbus(GetParam().variant, access, select).fault, BusFault::SmbusRequest);
    EXPECT_TRUE(rig.sim.trace().Transactions().empty());
}

TEST_P(NtRequestTest, FailedRequestEndsProcess) {
    sim::MachineDescription d = Board(kOsWin2000);
    d.faults.smbusFails = true;
    test::SimRig rig(d);
    ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
    const Bytes select = {0x41};
    const BusResult result = rig.Bus().WriteSmbus(GetParam().variant, Access(GetParam().controllerKind), select);
    EXPECT_EQ(result.fault, BusFault::SmbusRequest);
    EXPECT_EQ(test::EndedWith([&] { EndOnBusFault(rig.ctx, result.fault); }), 1);
    EXPECT_EQ(rig.shell.messages, (std::vector<test::ShownMessage>{
                                      {"Message", "DeviceIOControl Fail (SMBusBlockWriteType1)\n"}}));
}

TEST_P(NtRequestTest, OtherSystemDoesNothing) {
    test::SimRig rig(Board(kOsOther));
    const Bytes select = {0x41};
    EXPECT_EQ(rig.Bus().WriteSmbus(GetParam().variant, Access(GetParam().controllerKind), select).value, 1);
    EXPECT_TRUE(rig.platform.events.empty());
}

// The dispatch turns away blocks no variant can carry, on either path; the
// answer is the table row's (kind 1: 0, kind 2: 1).
TEST_P(NtRequestTest, UnusableBlockMakesNoTraffic) {
    const NtCase c = GetParam();
    SmbusAccess access = Access(c.controllerKind);
    if (c.variant == SmbusVariant::Rtm560) std::snprintf(access.chipName, sizeof access.chipName, "%s", kChipRtm560);
    if (c.variant == SmbusVariant::Ics9248) std::snprintf(access.chipName, sizeof access.chipName, "%s", kChipIcs9248);
    const int32_t answer = c.controllerKind == 1 ? 0 : 1;
    const Bytes data(40, 0x41);
    for (const int32_t osKind : {kOsWin9x, kOsNt4}) {
        test::SimRig rig(Board(osKind));
        ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
        rig.platform.Clear();
        EXPECT_EQ(SmbusBlockWrite(access, rig.Bus(), 0, data.data()).answer, answer);
        EXPECT_EQ(SmbusBlockWrite(access, rig.Bus(), -1, data.data()).answer, answer);
        EXPECT_EQ(SmbusBlockWrite(access, rig.Bus(), 33, data.data()).answer, answer);
        EXPECT_EQ(SmbusBlockWrite(access, rig.Bus(), 1, nullptr).answer, answer);
        EXPECT_TRUE(rig.platform.events.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, NtRequestTest,
                         ::testing::Values(NtCase{"Buffered", SmbusVariant::BlockBuffered, 1, "generic", 0x9C402450},
                                           NtCase{"ByteWise", SmbusVariant::BlockByteWise, 2, "generic", 0x9C402450},
                                           NtCase{"Rtm560", SmbusVariant::Rtm560, 2, "RTM560-25", 0x9C40248C},
                                           NtCase{"Ics9248", SmbusVariant::Ics9248, 2, "ICS9248-153", 0x9C402490}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace vc
