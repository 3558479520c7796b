#include "core/hw/smbus_write.h"

#include <gtest/gtest.h>

#include "core/hw/little_endian.h"
#include "core/hw/process_end.h"
#include "core/hw/recording_machine.h"

namespace vc {
namespace {

using test::RecordingMachine;
using test::RecordingShell;
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
    Strings s = {"r2", "wait", "w0:ff", "wait", "w4:d3", "wait", "w2:54", "wait", "r0", "wait", "r5"};
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
    SmbusTest() {
        access.controllerKind = 2;
        access.operation = 2;
        access.firstByteMask = 0x1208;  // only the low byte counts
        access.ioBase = kBase;
        access.readAddress = 0xD3;
        access.writeAddress = 0xD2;
    }

    Context Ctx(int32_t osKind) { return Context{machine, shell, osKind, {}}; }

    // The chip answers a read-back with `reported` as its count and `bytes`.
    void ChipAnswers(uint8_t status, uint8_t reported, const Bytes& bytes) {
        machine.in8Replies[kBase + 0] = {status};
        machine.in8Replies[kBase + 5] = {reported};
        machine.in8Replies[kBase + 7] = {bytes.begin(), bytes.end()};
    }

    RecordingMachine machine;
    RecordingShell shell;
    SmbusAccess access;
};

TEST_F(SmbusTest, BufferedFillsTheBlockBufferThenStarts) {
    const Bytes data = {0x41, 0x41, 0x08};
    access.controllerKind = 1;
    Context ctx = Ctx(kOsWin9x);
    BlockWriteBuffered(access, 3, data.data(), ctx, kNoDevice);
    EXPECT_EQ(machine.Registers(kBase),
              (Strings{"r2", "w0:ff", "w4:d2", "w5:03", "w7:49", "w7:41", "w7:08", "wait", "w2:54", "r0"}));
}

TEST_F(SmbusTest, BufferedAnswersTheCompletionBitReadRightAfterStart) {
    const std::pair<uint8_t, int32_t> cases[] = {{0x00, 0}, {0x01, 0}, {0x02, 1}, {0x03, 1}, {0xFD, 0}};
    const uint8_t select = 0x41;
    for (const auto& [status, result] : cases) {
        machine.in8Replies[kBase] = {status};
        Context ctx = Ctx(kOsWin9x);
        EXPECT_EQ(BlockWriteBuffered(access, 1, &select, ctx, kNoDevice), result) << int(status);
    }
}

TEST_F(SmbusTest, ByteWiseLatchesFirstByteAndReleasesTheRest) {
    const Bytes data = {0x41, 0x41, 0x08};
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(BlockWriteByteWise(access, 3, data.data(), ctx, kNoDevice), 1);
    EXPECT_EQ(machine.Registers(kBase),
              Cat({{"r2", "w0:ff", "w3:00", "w4:d2", "w5:03"}, ByteWise({0x49, 0x41, 0x08})}));
}

TEST_F(SmbusTest, Ics9248ReplacesByteSixAndSendsItTwice) {
    const Bytes chip = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76};
    ChipAnswers(0x01, 7, chip);
    const uint8_t select = 0x41;
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(WriteIcs9248(access, 1, &select, ctx, kNoDevice), 1);
    EXPECT_EQ(machine.Registers(kBase),
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
    const uint8_t select = 0x41;
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(WriteRtm560(access, 1, &select, ctx, kNoDevice), 1);

    Strings words;
    for (const char* w : {"w0:ff", "w2:20", "w0:ff", "w5:00", "w3:1f", "w6:02", "w2:4c", "w0:ff",
                          "w2:20", "w0:ff", "w5:00", "w3:10", "w6:49", "w2:4c", "w0:ff", "w2:20"}) {
        words.insert(words.end(), {w, "wait"});
    }
    EXPECT_EQ(machine.Registers(kBase),
              Cat({ReadBack(17), {"r2", "w0:ff", "w3:00", "w4:d2", "w5:11"}, ByteWise(back), words,
                   {"r2", "w0:ff", "w4:d2", "w3:00", "w5:01"}, ByteWise({0x49})}));
    // The select byte's pause and one more before returning.
    EXPECT_GE(machine.now - machine.events.back().tick, 8u);
}

TEST_F(SmbusTest, BlockReadStopsWhenControllerIsIdle) {
    ChipAnswers(0x02, 7, {1, 2, 3});
    Bytes buffer(7, 0xEE);
    int32_t received = -1;
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(BlockReadByteWise(access, 7, buffer.data(), ctx, received), 0);
    EXPECT_EQ(received, 0);
    EXPECT_EQ(buffer, Bytes(7, 0xEE));
    const Strings started = {"r2", "wait", "w0:ff", "wait", "w4:d3", "wait", "w2:54", "wait", "r0", "wait"};
    EXPECT_EQ(machine.Registers(kBase), started);
}

struct ReadCase {
    uint8_t reported;
    int32_t reads;
    int32_t received;
};

class BlockReadTest : public SmbusTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(BlockReadTest, ReadsWhatChipReportsKeepsWhatFits) {
    const ReadCase c = GetParam();
    Bytes chip(c.reads > 0 ? c.reads : 0);
    for (size_t i = 0; i < chip.size(); ++i) chip[i] = static_cast<uint8_t>(i + 1);
    ChipAnswers(0x41, c.reported, chip);
    Bytes buffer(8, 0xEE);  // room for 5, then sentinels
    int32_t received = -1;
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(BlockReadByteWise(access, 5, buffer.data(), ctx, received), 1);
    EXPECT_EQ(received, c.received);
    EXPECT_EQ(machine.Registers(kBase), ReadBack(c.reads));
    for (int32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(buffer[i], i < c.reads && i < 5 ? i + 1 : 0xEE) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, BlockReadTest,
                         ::testing::Values(ReadCase{5, 5, 5}, ReadCase{3, 3, 3}, ReadCase{9, 9, 9},
                                           ReadCase{0, 0, 0}, ReadCase{0x80, 0, 0},
                                           ReadCase{0xFF, 0, 0}));

using ChipVariant = int32_t (*)(const SmbusAccess&, int32_t, const uint8_t*, Context&, DeviceHandle);

struct ReadBackFault {
    const char* name;
    ChipVariant variant;
    uint8_t status;
    uint8_t reported;
    int reads;  // -1: the controller was idle, nothing read
};

class ReadBackFaultTest : public SmbusTest, public ::testing::WithParamInterface<ReadBackFault> {};

// Writing back a block the chip did not fully deliver would put stale bytes
// into it: the write is abandoned right after the read-back.
TEST_P(ReadBackFaultTest, AbandonsWriteWithoutFurtherTraffic) {
    const ReadBackFault c = GetParam();
    ChipAnswers(c.status, c.reported, Bytes(20, 0x11));
    const uint8_t select = 0x41;
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(c.variant(access, 1, &select, ctx, kNoDevice), 0);
    Strings expected = ReadBack(c.reads < 0 ? 0 : c.reads);
    if (c.reads < 0) expected.pop_back();  // the count is never read
    EXPECT_EQ(machine.Registers(kBase), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReadBackFaultTest,
    ::testing::Values(ReadBackFault{"IcsIdle", WriteIcs9248, 0x00, 7, -1},
                      ReadBackFault{"IcsShort", WriteIcs9248, 0x01, 6, 6},
                      ReadBackFault{"IcsNegative", WriteIcs9248, 0x01, 0x87, 0},
                      ReadBackFault{"RtmIdle", WriteRtm560, 0x02, 17, -1},
                      ReadBackFault{"RtmShort", WriteRtm560, 0x01, 16, 16},
                      ReadBackFault{"RtmEmpty", WriteRtm560, 0x01, 0, 0}),
    [](const auto& p) { return std::string(p.param.name); });

struct NtCase {
    const char* name;
    ChipVariant variant;
    int32_t controllerKind;
    uint32_t code;
};

class NtRequestTest : public SmbusTest, public ::testing::WithParamInterface<NtCase> {};

TEST_P(NtRequestTest, OneRequestCarriesTheAccessBlock) {
    const NtCase c = GetParam();
    access.controllerKind = c.controllerKind;
    const Bytes data = {0x41, 0x07};
    for (const int32_t osKind : {kOsNt4, kOsWin2000}) {
        machine.requests.clear();
        Context ctx = Ctx(osKind);
        EXPECT_EQ(c.variant(access, 2, data.data(), ctx, 33), 1);
        ASSERT_EQ(machine.requests.size(), 1u);
        const auto& request = machine.requests[0];
        EXPECT_EQ(request.code, c.code);
        EXPECT_EQ(request.handle, 33u);
        ASSERT_EQ(request.input.size(), 28u);
        const uint32_t expected[] = {kBase, 2, 0, 2, static_cast<uint32_t>(c.controllerKind), 0xD2, 0x1208};
        for (size_t field = 0; field < 7; ++field) {
            EXPECT_EQ(GetLe32(request.input, 4 * field), expected[field]) << "field " << field;
        }
        EXPECT_EQ(request.outputSize, 28u);
        EXPECT_EQ(request.referenced, data);  // the driver applies the mask
    }
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(machine.Registers(kBase), Strings{});
}

TEST_P(NtRequestTest, FailedRequestEndsProcess) {
    const NtCase c = GetParam();
    machine.requestReplies[c.code].ok = false;
    const uint8_t select = 0x41;
    Context ctx = Ctx(kOsWin2000);
    EXPECT_EQ(test::EndedWith([&] { c.variant(access, 1, &select, ctx, 33); }), 1);
    EXPECT_EQ(shell.messages, (std::vector<test::ShownMessage>{
                                  {"Message", "DeviceIOControl Fail (SMBusBlockWriteType1)\n"}}));
}

TEST_P(NtRequestTest, OtherSystemDoesNothing) {
    const uint8_t select = 0x41;
    Context ctx = Ctx(kOsOther);
    EXPECT_EQ(GetParam().variant(access, 1, &select, ctx, 33), 1);
    EXPECT_TRUE(machine.events.empty());
}

TEST_P(NtRequestTest, UnusableBlockMakesNoTraffic) {
    const Bytes data(40, 0x41);
    for (const int32_t osKind : {kOsWin9x, kOsNt4}) {
        Context ctx = Ctx(osKind);
        EXPECT_EQ(GetParam().variant(access, 0, data.data(), ctx, 33), 0);
        EXPECT_EQ(GetParam().variant(access, -1, data.data(), ctx, 33), 0);
        EXPECT_EQ(GetParam().variant(access, 33, data.data(), ctx, 33), 0);
        EXPECT_EQ(GetParam().variant(access, 1, nullptr, ctx, 33), 0);
    }
    EXPECT_TRUE(machine.events.empty());
}

INSTANTIATE_TEST_SUITE_P(Variants, NtRequestTest,
                         ::testing::Values(NtCase{"Buffered", BlockWriteBuffered, 1, 0x9C402450},
                                           NtCase{"ByteWise", BlockWriteByteWise, 2, 0x9C402450},
                                           NtCase{"Rtm560", WriteRtm560, 2, 0x9C40248C},
                                           NtCase{"Ics9248", WriteIcs9248, 2, 0x9C402490}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace vc
