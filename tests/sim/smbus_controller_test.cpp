// The two SMBus host controllers, driven through their ports as a 9x program
// drives them.
#include <gtest/gtest.h>

#include <ostream>

#include "sim_fixtures.h"

namespace vc::sim {
namespace {

using namespace smbus;
using test::Board;
using test::Ports;

// --- block-buffer controller ---------------------------------------------------

TEST(BlockBufferController, BlockWriteSendsDat0BytesFromTheBuffer) {
    SimMachine m(Board(1, "generic"));
    Ports p{m, 0x5000};
    p.In(kControl);
    p.Out(kStatus, 0xFF);
    p.Out(kAddress, 0xD2);
    p.Out(kCommand, 0x07);
    p.Out(kData0, 2);
    p.Out(kBlockData, 0x20);
    p.Out(kBlockData, 0x55);
    p.Out(kBlockData, 0x66);  // buffered but beyond DAT0: not sent
    p.Out(kControl, kStartBlock);
    p.Wait();
    EXPECT_EQ(kStatusDone, p.In(kStatus));
    const auto t = m.trace().Transactions();
    ASSERT_EQ(1U, t.size());
    EXPECT_EQ(SmbusProtocol::BlockWrite, t[0].protocol);
    EXPECT_EQ(0x07, t[0].command);
    EXPECT_EQ((std::vector<uint8_t>{0x20, 0x55}), t[0].bytes);
    EXPECT_DOUBLE_EQ(112.0, m.BusClockMHz());
}

TEST(BlockBufferController, ReadingHostControlRewindsTheBuffer) {
    SimMachine m(Board(1, "generic"));
    Ports p{m, 0x5000};
    p.Out(kBlockData, 0x99);  // a stale byte at position 0
    p.In(kControl);           // rewind: the next write lands at position 0
    p.Out(kBlockData, 0x30);
    p.Out(kAddress, 0xD2);
    p.Out(kData0, 1);
    p.Out(kControl, kStartBlock);
    EXPECT_EQ((std::vector<uint8_t>{0x30}), m.trace().Transactions().at(0).bytes);
    EXPECT_DOUBLE_EQ(133.0, m.BusClockMHz());
}

TEST(BlockBufferController, WithoutRewindBytesAppendToTheBuffer) {
    SimMachine m(Board(1, "generic"));
    Ports p{m, 0x5000};
    p.Out(kBlockData, 0x99);
    p.Out(kBlockData, 0x30);  // lands at position 1; DAT0 = 1 sends position 0
    p.Out(kAddress, 0xD2);
    p.Out(kData0, 1);
    p.Out(kControl, kStartBlock);
    EXPECT_EQ((std::vector<uint8_t>{0x99}), m.trace().Transactions().at(0).bytes);
    ASSERT_EQ(1U, m.RejectedSelects().size());
    EXPECT_DOUBLE_EQ(100.0, m.BusClockMHz());
}

TEST(BlockBufferController, WordWriteSendsCommandAndBothDataBytes) {
    SimMachine m(Board(1, "RTM560-25"));
    Ports p{m, 0x5000};
    p.Out(kAddress, 0xD2);
    p.Out(kCommand, 0x1F);
    p.Out(kData0, 0x00);
    p.Out(kData1, 0x02);
    p.Out(kControl, kStartWordData);
    const auto t = m.trace().Transactions();
    ASSERT_EQ(1U, t.size());
    EXPECT_EQ(SmbusProtocol::WordWrite, t[0].protocol);
    EXPECT_EQ(0x1F, t[0].command);
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0x02}), t[0].bytes);
}

TEST(BlockBufferController, BlockReadPutsCountInDat0AndBytesInTheBuffer) {
    MachineDescription d = Board(1, "ICS9248-153");
    d.board.bootBusMHz = 100.2;
    SimMachine m(d);
    Ports p{m, 0x5000};
    p.Out(kAddress, 0xD3);
    p.Out(kControl, kStartBlock);
    ASSERT_EQ(7, p.In(kData0));
    p.In(kControl);
    std::vector<uint8_t> got;
    for (int i = 0; i < 7; ++i) got.push_back(p.In(kBlockData));
    const auto regs = m.ChipRegisters();
    EXPECT_EQ(0x18, got[6]);  // the select of the 100.2 MHz boot entry
    EXPECT_EQ(std::vector<uint8_t>(regs.begin(), regs.begin() + 7), got);
}

struct BadStart {
    const char* what;
    uint8_t address;
    uint8_t count;
    uint8_t control;
    uint8_t expectedStatus;
};

void PrintTo(const BadStart& c, std::ostream* os) { *os << c.what; }

class BlockBufferFailures : public ::testing::TestWithParam<BadStart> {};

TEST_P(BlockBufferFailures, SetTheErrorBitAndLeaveTheClock) {
    const auto& c = GetParam();
    SimMachine m(Board(1, "generic"));
    Ports p{m, 0x5000};
    p.Out(kBlockData, 0x20);
    p.Out(kAddress, c.address);
    p.Out(kData0, c.count);
    p.Out(kControl, c.control);
    p.Wait();
    EXPECT_EQ(c.expectedStatus, p.In(kStatus)) << c.what;
    EXPECT_DOUBLE_EQ(100.0, m.BusClockMHz());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlockBufferFailures,
    ::testing::Values(BadStart{"nobody at 0xA0", 0xA0, 1, kStartBlock, kStatusDeviceError},
                      BadStart{"count 0", 0xD2, 0, kStartBlock, kStatusFailed},
                      BadStart{"count 33", 0xD2, 33, kStartBlock, kStatusFailed},
                      BadStart{"byte protocol", 0xD2, 1, 0x44, kStatusFailed}));

TEST(ControllerStatus, WritingOnesClearsDoneAndErrorsButNeverBusy) {
    SimMachine m(Board(2, "ICS9248-153"));
    Ports p{m, 0xEF00};
    p.Out(kAddress, 0xA0);  // nobody: device error
    p.Out(kControl, kStartBlock);
    p.Wait();
    ASSERT_EQ(kStatusDeviceError, p.In(kStatus));
    p.Out(kStatus, 0xFF);
    EXPECT_EQ(0, p.In(kStatus));
    // A block read leaves BUSY up while bytes are pending.
    p.Out(kAddress, 0xD3);
    p.Out(kControl, kStartBlock);
    p.Out(kStatus, kStatusDone | kStatusBusy);  // no bit 7: moves nothing
    EXPECT_EQ(kStatusBusy, p.In(kStatus) & kStatusBusy);
}

// The wire takes 90 us a byte: until the bytes of a start have passed, the
// status shows BUSY alone, whatever the outcome will be.
TEST(ControllerStatus, ReportsOnlyOnceTheBytesHavePassed) {
    struct Case {
        int32_t kind;
        uint8_t address;
        uint64_t wireBytes;  // address, command, count, data
        uint8_t reported;
    };
    for (const Case c : {Case{1, 0xD2, 4, kStatusDone}, Case{2, 0xD2, 4, kStatusDone},
                         Case{1, 0xA0, 1, kStatusDeviceError}}) {
        SimMachine m(Board(c.kind, "generic"));
        Ports p{m, static_cast<uint16_t>(c.kind == 1 ? 0x5000 : 0xEF00)};
        p.In(kControl);
        p.Out(kAddress, c.address);
        p.Out(kData0, 1);
        p.Out(kBlockData, 0x20);
        p.Out(kControl, kStartBlock);
        // (Reading the byte-by-byte controller's status takes its semaphore.)
        const auto status = [&p] { return static_cast<uint8_t>(p.In(kStatus) & ~kStatusInUse); };
        EXPECT_EQ(kStatusBusy, status()) << "kind " << c.kind;
        m.AdvanceTimePs(c.wireBytes * 90'000'000 - 1);
        EXPECT_EQ(kStatusBusy, status()) << "kind " << c.kind;
        m.AdvanceTimePs(1);
        EXPECT_EQ(c.reported, status()) << "kind " << c.kind << " address " << int(c.address);
    }
}

// The ICH's semaphore: the first status read finds it clear and takes it,
// later reads see it set until a write of bit 6 gives it back; writing the
// other bits leaves it. The PIIX4 has no such bit.
TEST(ControllerStatus, TheByteWiseControllersSemaphoreIsTakenByReadingAndGivenBackByWriting) {
    SimMachine ich(Board(2, "generic"));
    Ports p{ich, 0xEF00};
    EXPECT_EQ(0, p.In(kStatus) & kStatusInUse);
    EXPECT_EQ(kStatusInUse, p.In(kStatus) & kStatusInUse);
    p.Out(kStatus, kStatusFlagsByteWise);
    EXPECT_EQ(kStatusInUse, p.In(kStatus) & kStatusInUse);
    p.Out(kStatus, kStatusInUse);
    EXPECT_EQ(0, p.In(kStatus) & kStatusInUse);

    SimMachine piix4(Board(1, "generic"));
    Ports q{piix4, 0x5000};
    q.In(kStatus);
    EXPECT_EQ(0, q.In(kStatus) & kStatusInUse);
}

// --- byte-by-byte controller -----------------------------------------------------

TEST(ByteWiseController, StartSendsTheLatchedByteAndStatusWritesReleaseTheRest) {
    SimMachine m(Board(2, "ICS9248-153"));
    Ports p{m, 0xEF00};
    p.Out(kStatus, 0xFF);
    p.Out(kCommand, 0x00);
    p.Out(kAddress, 0xD2);
    p.Out(kData0, 7);
    const uint8_t block[7] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x38};
    p.Out(kBlockData, block[0]);
    p.Out(kControl, kStartBlock);
    p.Wait();
    EXPECT_EQ(kStatusBusy | kStatusByteDone, p.In(kStatus));
    for (int i = 1; i < 7; ++i) {
        p.Out(kBlockData, block[i]);
        EXPECT_EQ(size_t(i), m.trace().Transactions().at(0).bytes.size()) << "byte " << i << " early";
        p.Out(kStatus, 0xFF);
        p.Wait();
    }
    EXPECT_EQ(kStatusDone, p.In(kStatus));
    const auto t = m.trace().Transactions().at(0);
    EXPECT_TRUE(t.complete);
    EXPECT_EQ(std::vector<uint8_t>(block, block + 7), t.bytes);
    EXPECT_DOUBLE_EQ(112.0, m.BusClockMHz());
}

TEST(ByteWiseController, ControlBit5ClosesAnUnfinishedWrite) {
    SimMachine m(Board(2, "ICS9248-153"));
    Ports p{m, 0xEF00};
    p.Out(kAddress, 0xD2);
    p.Out(kData0, 7);
    p.Out(kBlockData, 0x30);
    p.Out(kControl, kStartBlock);
    p.Out(kStatus, 0xFF);  // second byte, still 0x30
    p.Out(kControl, kControlLastByte);
    p.Wait();
    EXPECT_EQ(0, p.In(kStatus) & kStatusBusy);
    const auto t = m.trace().Transactions().at(0);
    EXPECT_FALSE(t.complete);
    EXPECT_EQ((std::vector<uint8_t>{0x30, 0x30}), t.bytes);
    EXPECT_DOUBLE_EQ(100.0, m.BusClockMHz());  // byte 6 never came
    EXPECT_EQ(0x30, m.ChipRegisters()[0]);
    EXPECT_EQ(0x30, m.ChipRegisters()[1]);
}

TEST(ByteWiseController, BlockReadStepsThroughTheBytesOnStatusWrites) {
    SimMachine m(Board(2, "RTM560-25"));
    Ports p{m, 0xEF00};
    p.Out(kAddress, 0xD3);
    p.Out(kControl, kStartBlock);
    ASSERT_EQ(kStatusBusy, p.In(kStatus) & kStatusBusy);
    ASSERT_EQ(17, p.In(kData0));
    std::vector<uint8_t> got;
    for (int i = 0; i < 17; ++i) {
        got.push_back(p.In(kBlockData));
        EXPECT_EQ(got.back(), p.In(kBlockData)) << "reading 7 alone must not advance";
        p.Out(kStatus, 0xFF);
        p.Wait();
    }
    EXPECT_EQ(kStatusDone, p.In(kStatus));
    const auto regs = m.ChipRegisters();
    EXPECT_EQ(std::vector<uint8_t>(regs.begin(), regs.begin() + 17), got);
}

// LAST_BYTE set while a byte is held: one more byte comes, then the end.
TEST(ByteWiseController, LastByteDuringABlockReadEndsItAfterTheNextByte) {
    SimMachine m(Board(2, "RTM560-25"));
    Ports p{m, 0xEF00};
    p.Out(kAddress, 0xD3);
    p.Out(kControl, kStartBlock);
    p.Wait();
    const auto regs = m.ChipRegisters();
    EXPECT_EQ(regs[0], p.In(kBlockData));
    p.Out(kControl, kProtocolBlock | kControlLastByte);
    EXPECT_EQ(kStatusByteDone, p.In(kStatus) & (kStatusByteDone | kStatusDone));  // the first is still held
    p.Out(kStatus, kStatusByteDone);
    p.Wait();
    EXPECT_EQ(kStatusByteDone, p.In(kStatus) & (kStatusByteDone | kStatusDone));
    EXPECT_EQ(regs[1], p.In(kBlockData));
    p.Out(kStatus, kStatusByteDone);
    p.Wait();
    EXPECT_EQ(kStatusDone, p.In(kStatus) & (kStatusBusy | kStatusByteDone | kStatusDone));
}

TEST(ByteWiseController, ANewStartCutsShortTheOpenWrite) {
    SimMachine m(Board(2, "generic"));
    Ports p{m, 0xEF00};
    p.Out(kAddress, 0xD2);
    p.Out(kData0, 3);
    p.Out(kBlockData, 0x20);
    p.Out(kControl, kStartBlock);
    p.Out(kData0, 1);
    p.Out(kBlockData, 0x30);
    p.Out(kControl, kStartBlock);
    const auto t = m.trace().Transactions();
    ASSERT_EQ(2U, t.size());
    EXPECT_FALSE(t[0].complete);
    EXPECT_TRUE(t[1].complete);
    EXPECT_DOUBLE_EQ(133.0, m.BusClockMHz());
}

}  // namespace
}  // namespace vc::sim
