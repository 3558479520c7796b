// Recognising the board from MBInfo.dat and loading its chip from CGInfo.dat.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "core/board/board_recognition.h"
#include "core/base/text_field.h"
#include "core/hw/hw_driver.h"
#include "database_bytes.h"
#include "sim/sim_fixtures.h"
#include "support/sim_rig.h"
#include "temp_dir.h"

namespace vc {
namespace {

using test::ClockGenFile;
using test::BoardFile;
using test::Entries;
using test::TestBoard;
using test::TestChip;

class BoardFilesTest : public ::testing::Test {
protected:
    BoardFilesTest() : rig(Description(), dir.Path()) {
        rig.Bus().OpenForBios();
        // A previous state that a failure must leave exactly as it was.
        SetField(info.board.biosId, "PREVIOUS");
        previousChip = std::make_shared<ClockGenRecord>();
        info.board.clockGen = previousChip;
    }

    // An NT machine whose BIOS names the board in a longer string.
    static sim::MachineDescription Description() {
        sim::MachineDescription d = sim::test::Board(1, "generic", kOsWin2000);
        d.bios.strings = {{0xE100, "AWARD 6BX-A2 BIOS"}};
        return d;
    }

    size_t BiosSearches() const { return rig.platform.RequestsOf(kReqNtBiosFind).size(); }

    void WriteFiles(const std::vector<TestBoard>& boards, const std::vector<TestChip>& chips) {
        dir.Write("MBInfo.dat", BoardFile(boards));
        dir.Write("CGInfo.dat", ClockGenFile(chips));
    }

    bool Unchanged() const {
        return FieldText(info.board.biosId) == "PREVIOUS" && info.board.clockGen == previousChip;
    }

    test::TempDir dir;
    test::SimRig rig;
    SystemInfo& info = rig.info;
    Context& ctx = rig.ctx;
    test::RecordingShell& shell = rig.shell;
    std::shared_ptr<ClockGenRecord> previousChip;
};

TEST_F(BoardFilesTest, FirstRecordFoundInTheBiosWinsAndItsChipIsLoaded) {
    WriteFiles({{"NOT-HERE", "CHIP-B"}, {"6BX-A2", "CHIP-A"}, {"6BX", "CHIP-B"}},
               {{"CHIP-A", Entries(3, 100.0), 0x40, 1}, {"CHIP-B", Entries(2, 66.0)}});
    ASSERT_EQ(FindBoard(info, ctx), 1);
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(FieldText(info.board.biosId), "6BX-A2");
    ASSERT_NE(info.clockGen(), nullptr);
    EXPECT_EQ(FieldText(info.clockGen()->name), "CHIP-A");
    EXPECT_EQ(info.clockGen()->entryCount, 3);
    EXPECT_EQ(info.clockGen()->firstByteMask, 0x40);
    EXPECT_EQ(info.clockGen()->fineTune, 1);
    ASSERT_EQ(info.clockGen()->entries.size(), 3u);
    EXPECT_EQ(info.clockGen()->entries[2].busMHz, 102.0);
    EXPECT_EQ(info.clockGen()->entries[2].chipValue, 2);
    // The search stopped at the match: the third board was never asked for.
    EXPECT_EQ(BiosSearches(), 2u);
}

TEST_F(BoardFilesTest, NoMatchingRecordFailsWithoutMessage) {
    for (const auto& boards : {std::vector<TestBoard>{{"OTHER-1"}, {"OTHER-2"}}, std::vector<TestBoard>{}}) {
        WriteFiles(boards, {{"CHIP-A", Entries(2, 100.0)}});
        EXPECT_EQ(FindBoard(info, ctx), 0);
        EXPECT_TRUE(shell.messages.empty());
        EXPECT_TRUE(Unchanged());
    }
}

TEST_F(BoardFilesTest, ChipMissingFromHeadersFailsAndLaterBoardsAreNotTried) {
    WriteFiles({{"6BX-A2", "CHIP-X"}, {"6BX", "CHIP-A"}}, {{"CHIP-A", Entries(2, 100.0)}});
    EXPECT_EQ(FindBoard(info, ctx), 0);
    EXPECT_EQ(shell.Texts(), std::vector<std::string>{"Can't found this clock gen"});
    EXPECT_EQ(shell.messages[0].caption, "Error");
    EXPECT_EQ(BiosSearches(), 1u);
    EXPECT_TRUE(Unchanged());
}

TEST_F(BoardFilesTest, LastHeaderOfEqualNamesWins) {
    WriteFiles({{"6BX-A2", "CHIP-A"}},
               {{"CHIP-A", Entries(3, 100.0), 0x01}, {"CHIP-B", Entries(4, 66.0)},
                {"CHIP-A", Entries(2, 120.0, 0x30), 0x02}});
    ASSERT_EQ(FindBoard(info, ctx), 1);
    ASSERT_EQ(info.clockGen()->entries.size(), 2u);
    EXPECT_EQ(info.clockGen()->firstByteMask, 0x02);
    EXPECT_EQ(info.clockGen()->entries[0].busMHz, 120.0);
    EXPECT_EQ(info.clockGen()->entries[1].chipValue, 0x31);
}

// The table sits behind the tables of every earlier header.
class TableShiftTest : public BoardFilesTest, public ::testing::WithParamInterface<std::vector<int>> {};

TEST_P(TableShiftTest, TableIsFoundBehindEarlierTables) {
    std::vector<TestChip> chips;
    for (size_t i = 0; i < GetParam().size(); ++i) {
        chips.push_back({"EARLY-" + std::to_string(i), Entries(GetParam()[i], 200.0 + 10 * i, 0x80)});
    }
    chips.push_back({"CHIP-A", Entries(2, 100.0, 0x10)});
    chips.push_back({"LATE", Entries(3, 300.0)});
    WriteFiles({{"6BX-A2", "CHIP-A"}}, chips);
    ASSERT_EQ(FindBoard(info, ctx), 1);
    ASSERT_EQ(info.clockGen()->entries.size(), 2u);
    EXPECT_EQ(info.clockGen()->entries[0].busMHz, 100.0);
    EXPECT_EQ(info.clockGen()->entries[1].chipValue, 0x11);
}

INSTANTIATE_TEST_SUITE_P(EarlierEntryCounts, TableShiftTest,
                         ::testing::Values(std::vector<int>{}, std::vector<int>{0}, std::vector<int>{5},
                                           std::vector<int>{0, 5}, std::vector<int>{3, 0, 64}));

TEST_F(BoardFilesTest, LoadClockGenAloneReplacesOnlyTheChip) {
    WriteFiles({}, {{"CHIP-A", Entries(4, 100.0)}});
    SetField(info.board.clockGenName, "CHIP-A");
    ASSERT_EQ(LoadClockGen(info, ctx), 1);
    EXPECT_EQ(FieldText(info.board.biosId), "PREVIOUS");
    EXPECT_EQ(info.clockGen()->entries.size(), 4u);
}

// Damage that provably is not this board's or its chip's is stepped over
// silently: the record's extent is known and its identity cannot match.
TEST_F(BoardFilesTest, DamagedRecordsThatCannotBeThisBoardsAreSteppedOver) {
    TestChip unnamed{"SIXTEEN-CHARS-CG", Entries(3, 50.0)};  // its 3 entries still shift CHIP-A's table
    TestChip late{"LATE", Entries(1, 300.0)};
    late.declaredCount = 65;
    WriteFiles({{"ELSEWHERE", "SIXTEEN-CHARS-CG"}, {"6BX-A2", "CHIP-A"}},
               {unnamed, {"CHIP-A", Entries(2, 100.0, 0x10)}, late});
    ASSERT_EQ(FindBoard(info, ctx), 1) << ::testing::PrintToString(shell.Texts());
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(FieldText(info.board.biosId), "6BX-A2");
    EXPECT_EQ(BiosSearches(), 2u);  // the damaged record was asked about too
    ASSERT_EQ(info.clockGen()->entries.size(), 2u);
    EXPECT_EQ(info.clockGen()->entries[0].busMHz, 100.0);
    EXPECT_EQ(info.clockGen()->entries[1].chipValue, 0x11);
}

struct FileFailure {
    const char* name;
    std::vector<uint8_t> boardFile;
    std::vector<uint8_t> chipFile;
    bool boardMissing;
    bool chipMissing;
    std::string message;
};

void PrintTo(const FileFailure& c, std::ostream* os) { *os << c.name; }

class FileFailureTest : public BoardFilesTest, public ::testing::WithParamInterface<FileFailure> {};

TEST_P(FileFailureTest, FailsWithItsMessageAndLoadsNothing) {
    const FileFailure& c = GetParam();
    if (!c.boardMissing) dir.Write("MBInfo.dat", c.boardFile);
    if (!c.chipMissing) dir.Write("CGInfo.dat", c.chipFile);
    EXPECT_EQ(FindBoard(info, ctx), 0);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].caption, "Error");
    EXPECT_EQ(shell.messages[0].text, c.message);
    EXPECT_TRUE(Unchanged());
}

const std::vector<TestBoard> kOneBoard{{"6BX-A2", "CHIP-A"}};
const std::vector<TestChip> kOneChip{{"CHIP-A", Entries(2, 100.0)}};

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t drop) {
    bytes.resize(bytes.size() - drop);
    return bytes;
}

TestChip WithCount(TestChip chip, int32_t count) {
    chip.declaredCount = count;
    return chip;
}

INSTANTIATE_TEST_SUITE_P(
    Messages, FileFailureTest,
    ::testing::Values(
        FileFailure{"BoardFileMissing", {}, ClockGenFile(kOneChip), true, false, "MBInfo.dat not found"},
        FileFailure{"ChipFileMissing", BoardFile(kOneBoard), {}, false, true, "CGInfo.dat not found"},
        FileFailure{"BoardVersion2", BoardFile(kOneBoard, 2), ClockGenFile(kOneChip), false, false,
                    "MBInfo version is not correct"},
        FileFailure{"ChipVersion2", BoardFile(kOneBoard), ClockGenFile(kOneChip, 2), false, false,
                    "CGInfo version is not correct"},
        FileFailure{"ChipCountZero", BoardFile(kOneBoard), ClockGenFile({}), false, false,
                    "Can't found this clock gen"},
        FileFailure{"BoardFileEmpty", {}, ClockGenFile(kOneChip), false, false,
                    "MBInfo.dat is damaged: the header is incomplete"},
        FileFailure{"BoardRecordCut", Cut(BoardFile({{"ELSEWHERE"}, {"6BX-A2", "CHIP-A"}}), 1),
                    ClockGenFile(kOneChip), false, false, "MBInfo.dat is damaged: board record 2 is incomplete"},
        FileFailure{"BoardCountTooLarge", BoardFile({{"ELSEWHERE"}}, 1, 1000), ClockGenFile(kOneChip), false,
                    false, "MBInfo.dat is damaged: board record 2 is incomplete"},
        FileFailure{"BiosIdUnterminated", BoardFile({{"SIXTEEN-CHARS-ID"}, {"6BX-A2", "CHIP-A"}}),
                    ClockGenFile(kOneChip), false, false,
                    "MBInfo.dat is damaged: board record 1: biosId has no terminator"},
        FileFailure{"ChipNameUnterminated", BoardFile({{"6BX-A2", "SIXTEEN-CHARS-CG"}}), ClockGenFile(kOneChip),
                    false, false, "MBInfo.dat is damaged: board record 1: clockGenName has no terminator"},
        FileFailure{"ChipFileEmpty", BoardFile(kOneBoard), {}, false, false,
                    "CGInfo.dat is damaged: the header is incomplete"},
        // A later header of the same name would win, so a nameless one after it may be the chip.
        FileFailure{"HeaderNameUnterminatedAfterTheChip", BoardFile(kOneBoard),
                    ClockGenFile({kOneChip[0], {"SIXTEEN-CHARS-CG", Entries(1, 66.0)}}), false, false,
                    "CGInfo.dat is damaged: clock generator header 2: name has no terminator"},
        FileFailure{"HeaderNameUnterminatedAndNoChip", BoardFile(kOneBoard),
                    ClockGenFile({{"OTHER", Entries(1, 66.0)}, {"SIXTEEN-CHARS-CG", Entries(1, 66.0)}}), false,
                    false, "CGInfo.dat is damaged: clock generator header 2: name has no terminator"},
        FileFailure{"OwnRecordDamagedAfterASkippedOne",
                    BoardFile({{"ELSEWHERE", "SIXTEEN-CHARS-CG"}, {"6BX-A2", "SIXTEEN-CHARS-CG"}}),
                    ClockGenFile(kOneChip), false, false,
                    "MBInfo.dat is damaged: board record 2: clockGenName has no terminator"},
        FileFailure{"OwnHeaderDamagedAfterASkippedOne", BoardFile(kOneBoard),
                    ClockGenFile({{"SIXTEEN-CHARS-CG", Entries(1, 66.0)}, WithCount(kOneChip[0], 65)}), false,
                    false, "CGInfo.dat is damaged: clock generator header 2: entryCount 65 is outside 0..64"},
        FileFailure{"UnrelatedCountDamagedAndNoChip", BoardFile(kOneBoard),
                    ClockGenFile({WithCount({"OTHER", {}}, -1)}), false, false, "Can't found this clock gen"},
        FileFailure{"EntryCountNegative", BoardFile(kOneBoard),
                    ClockGenFile({WithCount({"OTHER", {}}, -1), kOneChip[0]}), false, false,
                    "CGInfo.dat is damaged: clock generator header 1: entryCount -1 is outside 0..64"},
        FileFailure{"EntryCountAbove64", BoardFile(kOneBoard), ClockGenFile({WithCount(kOneChip[0], 65)}),
                    false, false, "CGInfo.dat is damaged: clock generator header 1: entryCount 65 is outside 0..64"},
        FileFailure{"TableShort", BoardFile(kOneBoard), ClockGenFile({WithCount(kOneChip[0], 3)}), false, false,
                    "CGInfo.dat is damaged: the table of CHIP-A is incomplete"},
        FileFailure{"EarlierTablesBeyondEnd", BoardFile(kOneBoard),
                    ClockGenFile({WithCount({"OTHER", {}}, 64), kOneChip[0]}), false, false,
                    "CGInfo.dat is damaged: the table of CHIP-A lies beyond the end of the file"}),
    [](const auto& param) { return std::string(param.param.name); });

// Prefixes of sound files (every fifth length, so cuts land inside every
// field): never a crash, never a half-loaded record.
TEST_F(BoardFilesTest, EveryTruncationOfEitherFileFailsCleanly) {
    const auto boards = BoardFile({{"ELSEWHERE", "CHIP-B"}, {"6BX-A2", "CHIP-A"}});
    const auto chips = ClockGenFile({{"CHIP-B", Entries(3, 66.0)}, {"CHIP-A", Entries(4, 100.0)}});
    for (int which = 0; which < 2; ++which) {
        const auto& whole = which == 0 ? boards : chips;
        for (size_t length = 0; length < whole.size(); length += 5) {
            SCOPED_TRACE("file " + std::to_string(which) + " cut to " + std::to_string(length));
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
            dir.Write("MBInfo.dat", which == 0 ? cut : boards);
            dir.Write("CGInfo.dat", which == 1 ? cut : chips);
            shell.messages.clear();
            ASSERT_EQ(FindBoard(info, ctx), 0);
            ASSERT_EQ(shell.messages.size(), 1u);
            EXPECT_NE(shell.messages[0].text.find(which == 0 ? "MBInfo.dat is damaged: " : "CGInfo.dat is damaged: "),
                      std::string::npos)
                << shell.messages[0].text;
            EXPECT_TRUE(Unchanged());
        }
    }
}

}  // namespace
}  // namespace vc
