// Filling the access block and choosing the write variant.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "core/base/little_endian.h"
#include "core/board/clock_programming.h"
#include "core/hw/hw_driver.h"
#include "table_fixture.h"

namespace vc {
namespace {

uint32_t InputWord(const test::RecordedRequest& request, size_t index) { return GetLe32(request.input, index * 4); }

class ProgramClockTest : public test::TableFixture, public ::testing::Test {};

struct DispatchCase {
    int32_t kind;
    const char* chip;
    uint32_t expectedCode;  // 0: nothing is sent
};

void PrintTo(const DispatchCase& c, std::ostream* os) {
    *os << "kind " << c.kind << " chip \"" << c.chip << "\" -> request 0x" << std::hex << c.expectedCode;
}

class DispatchTest : public ProgramClockTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(DispatchTest, ControllerKindAndChipNameChooseTheVariant) {
    info.board.smbusKind = GetParam().kind;
    SetField(info.board.clockGenName, GetParam().chip);
    const uint8_t select = 0x5A;
    EXPECT_EQ(ProgramClock(info.clockWriter, rig.Bus(), 1, &select).answer, 1);
    if (GetParam().expectedCode == 0) {
        EXPECT_TRUE(rig.platform.requests.empty());
        return;
    }
    ASSERT_EQ(rig.platform.requests.size(), 1u);
    EXPECT_EQ(rig.platform.requests[0].code, GetParam().expectedCode);
    EXPECT_EQ(InputWord(rig.platform.requests[0], 4), static_cast<uint32_t>(GetParam().kind));
    EXPECT_EQ(rig.platform.requests[0].referenced, std::vector<uint8_t>{0x5A});
}

INSTANTIATE_TEST_SUITE_P(
    Table, DispatchTest,
    ::testing::Values(DispatchCase{1, "RTM560-25", kReqNtSmbusBlockWrite},
                      DispatchCase{1, "ICS9248-153", kReqNtSmbusBlockWrite},
                      DispatchCase{2, "RTM560-25", kReqNtRtm560}, DispatchCase{2, "ICS9248-153", kReqNtIcs9248},
                      DispatchCase{2, "RTM560-26", kReqNtSmbusBlockWrite},   // differs in the last character
                      DispatchCase{2, "rtm560-25", kReqNtSmbusBlockWrite},   // case-sensitive
                      DispatchCase{2, "ICS9248-153A", kReqNtSmbusBlockWrite}, DispatchCase{2, "", kReqNtSmbusBlockWrite},
                      DispatchCase{0, "ICS9248-153", 0}, DispatchCase{3, "RTM560-25", 0},
                      DispatchCase{-1, "CHIP-A", 0}));

TEST_F(ProgramClockTest, AccessBlockIsRebuiltOnEveryCall) {
    SmbusAccess& stale = info.clockWriter.access;  // left over from an earlier write
    std::strcpy(stale.chipName, "RTM560-25");
    stale.controllerKind = stale.operation = stale.firstByteMask = stale.ioBase = 0x7F;
    stale.readAddress = stale.writeAddress = 0x7F;
    info.board.clockGen->firstByteMask = 0x180;  // only the low byte counts on the wire
    const uint8_t select = 0x01;
    ProgramClock(info.clockWriter, rig.Bus(), 1, &select);
    const SmbusAccess& access = info.clockWriter.access;
    EXPECT_STREQ(access.chipName, "CHIP-A");
    EXPECT_EQ(access.controllerKind, 2);
    EXPECT_EQ(access.ioBase, 0xEF00);
    EXPECT_EQ(access.operation, 2);
    EXPECT_EQ(access.firstByteMask, 0x180);
    EXPECT_EQ(access.readAddress, 0xD3);
    EXPECT_EQ(access.writeAddress, 0xD2);
    ASSERT_EQ(rig.platform.requests.size(), 1u);
    EXPECT_EQ(InputWord(rig.platform.requests[0], 0), 0xEF00u);
    EXPECT_EQ(InputWord(rig.platform.requests[0], 6), 0x180u);

    // A second board seen through the same writer leaves nothing of the first.
    BoardRecord other = info.board;
    SetField(other.clockGenName, "OTHER");
    other.smbusKind = 1;
    other.smbusBase = 0x5000;
    other.clockGen = std::make_shared<ClockGenRecord>();
    info.clockWriter.board = &other;
    ProgramClock(info.clockWriter, rig.Bus(), 1, &select);
    EXPECT_STREQ(access.chipName, "OTHER");
    EXPECT_EQ(access.firstByteMask, 0);
    EXPECT_EQ(access.ioBase, 0x5000);
}

TEST_F(ProgramClockTest, WithoutBoardOrChipNothingIsWrittenAndTheAnswerIsStillOne) {
    const uint8_t select = 0x01;
    info.clockWriter.board = nullptr;
    EXPECT_EQ(ProgramClock(info.clockWriter, rig.Bus(), 1, &select).answer, 1);
    info.clockWriter.board = &info.board;
    info.board.clockGen.reset();
    EXPECT_EQ(ProgramClock(info.clockWriter, rig.Bus(), 1, &select).answer, 1);
    EXPECT_TRUE(rig.platform.requests.empty());
}

struct ResultCase {
    int32_t kind;
    int32_t operation;
    int32_t expected;
    bool sends;
};

void PrintTo(const ResultCase& c, std::ostream* os) {
    *os << "kind " << c.kind << " operation " << c.operation << " -> " << c.expected << (c.sends ? ", sent" : ", not sent");
}

class BlockWriteResultTest : public ProgramClockTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(BlockWriteResultTest, AnswersAsTheDispatchTableSays) {
    // A machine whose controller is of the record's kind (where that is a
    // kind at all): the driver refuses a request naming another kind.
    const int32_t machineKind = GetParam().kind == 1 ? 1 : 2;
    test::SimRig machine(sim::test::Board(machineKind, "generic", kOsWin2000));
    ASSERT_EQ(machine.Bus().OpenForBios().value, 1);
    SmbusAccess access;
    std::strcpy(access.chipName, "CHIP-A");
    access.controllerKind = GetParam().kind;
    access.operation = GetParam().operation;
    access.ioBase = machine.sim.description().board.smbusBase;  // where the machine's controller answers
    access.writeAddress = kClockGenWriteAddress;
    const uint8_t select = 0x22;
    EXPECT_EQ(SmbusBlockWrite(access, machine.Bus(), 1, &select).answer, GetParam().expected);
    EXPECT_EQ(!machine.platform.RequestsOf(kReqNtSmbusBlockWrite).empty(), GetParam().sends);
}

INSTANTIATE_TEST_SUITE_P(Rows, BlockWriteResultTest,
                         ::testing::Values(ResultCase{1, 1, 0, false}, ResultCase{1, 2, 1, true},
                                           ResultCase{2, 1, 1, false}, ResultCase{2, 2, 1, true},
                                           ResultCase{2, 3, 0, false}, ResultCase{5, 2, 0, false}));

}  // namespace
}  // namespace vc
