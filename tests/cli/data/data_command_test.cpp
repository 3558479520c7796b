// vcctl data build / dump / check.
#include <gtest/gtest.h>

#include <filesystem>

#include "../../core/board/database_bytes.h"
#include "../../core/board/temp_dir.h"
#include "cli/data_command.h"

namespace vc {
namespace {

const char* const kChip = R"(# a chip
clockgen "CHIP A"
    mask 0x01
    fine-tune 1
    entry 100.0 33.3 100.0 20 0x10 unverified
    entry 112.5 37.5 112.5 20 0x12   # comment after an entry
end
)";

const char* const kBoard = R"(
board 6BXE-R1.2
    clockgen    "CHIP A"
    chipset     259
    smbus-kind  2
    smbus-base  0xEF00
    max-bus     1.30
    max-pci     1.20
end
)";

class DataCommandTest : public ::testing::Test {
protected:
    int Run(const std::vector<std::string>& args) {
        out.Clear();
        err.Clear();
        return cli::RunDataCommand(args, dir.Path(), out, err);
    }

    test::TempDir src;
    test::TempDir dir;
    cli::TextOut out;
    cli::TextOut err;
};

TEST_F(DataCommandTest, BuildsTheFilesFromADirectoryOfSources) {
    src.WriteText("b-boards.vcdata", kBoard);
    src.WriteText("a-chips.vcdata", kChip);
    src.WriteText("notes.txt", "not a source");
    ASSERT_EQ(Run({"build", src.Path()}), 0) << err.Text();

    test::LeBytes board;
    board.I32(1);
    board.I32(1);
    board.Text16("6BXE-R1.2");
    board.Text16("CHIP A");
    for (const int32_t v : {0, 259, 0xEF00, 2}) board.I32(v);
    for (const double v : {1.3, 1.2, 0.0}) board.F64(v);
    board.I32(0);
    board.I32(0);
    EXPECT_EQ(dir.Read("MBInfo.dat"), board.bytes);
    test::LeBytes chip;
    chip.I32(1);
    chip.I32(1);
    chip.Text16("CHIP A");
    for (const int32_t v : {2, 1, 0, 0, 1, 0}) chip.I32(v);
    for (const double v : {100.0, 33.3, 100.0}) chip.F64(v);
    chip.I32(20);
    chip.I32(0x10);
    for (const double v : {112.5, 37.5, 112.5}) chip.F64(v);
    chip.I32(20);
    chip.I32(0x12);
    EXPECT_EQ(dir.Read("CGInfo.dat"), chip.bytes);
}

TEST_F(DataCommandTest, DumpPrintsSourcesThatBuildTheSameFiles) {
    // Notes (sources, read-back signature, verified mark) survive the round trip too.
    std::string chip = kChip;
    chip.insert(chip.find("    mask"), "    source \"datasheet table 2\"\n    read-back 0x02/0x07 0x1F 0xEB/0x6B\n");
    std::string board = kBoard;
    board.insert(board.find("    chipset"), "    verified \"board manual p. 12\"\n");
    src.WriteText("all.vcdata", chip + board);
    ASSERT_EQ(Run({"build", src.File("all.vcdata")}), 0) << err.Text();
    const auto boards = dir.Read("MBInfo.dat");
    const auto chips = dir.Read("CGInfo.dat");
    ASSERT_EQ(Run({"data", "dump"}), 0) << err.Text();
    EXPECT_NE(out.Text().find("board 6BXE-R1.2"), std::string::npos);
    EXPECT_NE(out.Text().find("1 clock generators (1 citing their source)"), std::string::npos) << out.Text();
    EXPECT_NE(out.Text().find("1 boards (1 verified, 0 unverified)"), std::string::npos) << out.Text();
    EXPECT_NE(out.Text().find("read-back  0x02/0x07 0x1F 0xEB/0x6B"), std::string::npos) << out.Text();
    src.WriteText("dumped.vcdata", out.Text());
    std::filesystem::remove(dir.File("MBInfo.dat"));
    std::filesystem::remove(dir.File("CGInfo.dat"));
    ASSERT_EQ(Run({"build", src.File("dumped.vcdata")}), 0) << err.Text();
    EXPECT_EQ(dir.Read("MBInfo.dat"), boards);
    EXPECT_EQ(dir.Read("CGInfo.dat"), chips);
}

struct BadSource {
    const char* name;
    std::string text;
    std::string message;  // must appear in the error output
};

class BadSourceTest : public DataCommandTest, public ::testing::WithParamInterface<BadSource> {};

TEST_P(BadSourceTest, RefusesWithFileAndLineAndWritesNothing) {
    dir.Write("MBInfo.dat", {9, 9});
    src.WriteText("db.vcdata", GetParam().text);
    EXPECT_EQ(Run({"build", src.File("db.vcdata")}), 3);
    EXPECT_NE(err.Text().find(GetParam().message), std::string::npos) << err.Text();
    EXPECT_EQ(dir.Read("MBInfo.dat"), (std::vector<uint8_t>{9, 9}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("CGInfo.dat")));
}

std::string Board(const std::string& settings, const std::string& id = "6BXE-R1.2") {
    return "board " + id + "\n clockgen \"CHIP A\"\n smbus-kind 1\n smbus-base 0x5000\n max-bus 1.3\n max-pci 1.2\n" +
           settings + "end\n";
}

std::string ManyEntries(int n) {
    std::string text = "clockgen BIG\n";
    for (int i = 0; i < n; ++i) text += " entry 100 33.3 100 20 " + std::to_string(i) + "\n";
    return text + "end\n";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadSourceTest,
    ::testing::Values(
        BadSource{"LongName", std::string(kChip) + Board("", "SIXTEEN-CHARS-ID"),
                  "db.vcdata:8: board name \"SIXTEEN-CHARS-ID\" is longer than 15 characters"},
        BadSource{"TooManyEntries", ManyEntries(65), "db.vcdata:66: clockgen BIG has more than 64 entries"},
        BadSource{"SelectNotAByte", "clockgen C\n entry 100 33 100 20 0x100\nend\n",
                  "db.vcdata:2: entry select: \"0x100\" is not a byte"},
        BadSource{"BadBand", "clockgen C\n entry 100 33 100 22 0x01\nend\n",
                  "db.vcdata:2: clock generator 1 (C): entry 1: bandCode: 22 is not one of"},
        BadSource{"UnknownChip", Board(""), "db.vcdata:2: board 1 (6BXE-R1.2): clockGenName: CHIP A names no clock generator"},
        BadSource{"DuplicateBoard", std::string(kChip) + Board("") + Board(""),
                  "db.vcdata:15: board 2 (6BXE-R1.2): biosId: repeats board 1"},
        BadSource{"ShadowedBoard", std::string(kChip) + Board("", "6BXE") + Board(""),
                  "board 2 (6BXE-R1.2): biosId: contains the string of board 1 (6BXE)"},
        BadSource{"DuplicateChip", std::string(kChip) + kChip, "clock generator 2 (CHIP A): name: repeats clock generator 1"},
        BadSource{"SameSelectOnTheWire", "clockgen C\n mask 0x01\n entry 100 33 100 20 0x10\n entry 110 36 110 20 0x11\nend\n",
                  "db.vcdata:4: clock generator 1 (C): entry 2: chipValue: puts 0x11 on the wire like entry 1"},
        BadSource{"RepeatedSetting", std::string(kChip) + Board(" smbus-kind 2\n"), "\"smbus-kind\" is set twice"},
        BadSource{"BadKind",
                  std::string(kChip) + "board X\n clockgen \"CHIP A\"\n smbus-kind 3\n smbus-base 0x5000\n"
                                       " max-bus 1.3\n max-pci 1.2\nend\n",
                  "db.vcdata:10: board 1 (X): smbusKind: 3 is not 1 or 2"},
        BadSource{"RatioOutOfRange", std::string(kChip) + Board(" max-mem 0.5\n"), "maxMemRatio: 0.5 is outside"},
        BadSource{"NotANumber", std::string(kChip) + Board(" max-mem fast\n"), "max-mem: \"fast\" is not a decimal number"},
        BadSource{"MissingEnd", "clockgen C\n entry 100 33 100 20 1\n", "db.vcdata:1: block has no \"end\""},
        BadSource{"UnknownSetting", "clockgen C\n colour red\nend\n", "db.vcdata:2: unknown clockgen setting \"colour\""},
        BadSource{"OpenQuote", "clockgen \"C\n", "db.vcdata:1: quoted word without closing quote"},
        BadSource{"MissingRequired", std::string(kChip) + "board X\n clockgen \"CHIP A\"\nend\n",
                  "board X has no \"smbus-kind\""},
        BadSource{"StrayWord", "hello\n", "db.vcdata:1: expected \"board NAME\" or \"clockgen NAME\""},
        BadSource{"VerifiedWithoutSource", std::string(kChip) + Board(" verified\n"),
                  "db.vcdata:14: \"verified\" takes the source it rests on"},
        BadSource{"MarkedTwice", std::string(kChip) + Board(" unverified\n verified \"x\"\n"),
                  "marked verified or unverified twice"},
        BadSource{"ReadBackNotAByte", "clockgen C\n read-back 0x02 0x1FF\n entry 100 33 100 20 1\nend\n",
                  "db.vcdata:2: read-back: \"0x1FF\" is not a byte"},
        BadSource{"ReadBackMaskNotHex", "clockgen C\n read-back 0x02/15\n entry 100 33 100 20 1\nend\n",
                  "read-back: \"15\" is not a byte"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(DataCommandTest, CheckNamesEveryProblemByFileRecordAndField) {
    test::TestBoard bad{"6BXE-R1.2", "NOWHERE"};
    bad.kind = 7;
    bad.maxPci = 3.0;
    dir.Write("MBInfo.dat", test::BoardFile({{"6BX", "CHIP"}, bad}));
    dir.Write("CGInfo.dat", test::ClockGenFile({{"CHIP", {{100.0, 33.3, 100.0, 25, 0x1FF}}}}));
    EXPECT_EQ(Run({"check"}), 3);
    const std::string report = err.Text();
    for (const char* expected :
         {"CGInfo.dat: clock generator 1 (CHIP): entry 1: bandCode: 25 is not one of 10, 11, 20, 21, 30, 31",
          "CGInfo.dat: clock generator 1 (CHIP): entry 1: chipValue: 0x1FF is not a byte",
          "MBInfo.dat: board 2 (6BXE-R1.2): biosId: contains the string of board 1 (6BX)",
          "MBInfo.dat: board 2 (6BXE-R1.2): clockGenName: NOWHERE names no clock generator",
          "MBInfo.dat: board 2 (6BXE-R1.2): smbusKind: 7 is not 1 or 2",
          "MBInfo.dat: board 2 (6BXE-R1.2): maxPciRatio: 3 is outside 1..2"}) {
        EXPECT_NE(report.find(expected), std::string::npos) << expected << "\n" << report;
    }
}

TEST_F(DataCommandTest, CheckReportsADamagedNotesBlock) {
    std::string board = kBoard;
    board.insert(board.find("    chipset"), "    unverified \"from the manual\"\n");
    src.WriteText("all.vcdata", std::string(kChip) + board);
    ASSERT_EQ(Run({"build", src.File("all.vcdata")}), 0) << err.Text();
    auto bytes = dir.Read("MBInfo.dat");
    const size_t notes = 8 + 80;
    ASSERT_EQ(std::string(bytes.begin() + notes, bytes.begin() + notes + 8), "VCNOTES1");
    bytes.resize(bytes.size() - 3);  // the source text cut short
    dir.Write("MBInfo.dat", bytes);
    EXPECT_EQ(Run({"check"}), 3);
    EXPECT_NE(err.Text().find("MBInfo.dat: the notes of board 1 are incomplete"), std::string::npos) << err.Text();
    bytes[notes + 8] = 2;  // a count for two records in a file of one
    dir.Write("MBInfo.dat", bytes);
    EXPECT_EQ(Run({"check"}), 3);
    EXPECT_NE(err.Text().find("the notes block is for 2 records, the file holds 1"), std::string::npos) << err.Text();
}

TEST_F(DataCommandTest, CheckReportsDamagedAndMissingFiles) {
    EXPECT_EQ(Run({"check"}), 3);
    EXPECT_NE(err.Text().find("MBInfo.dat: cannot be opened"), std::string::npos);
    auto boards = test::BoardFile({{"6BX", "CHIP"}});
    boards.push_back(0);
    dir.Write("MBInfo.dat", boards);
    dir.Write("CGInfo.dat", test::ClockGenFile({{"CHIP", test::Entries(1, 100.0)}}, 2));
    EXPECT_EQ(Run({"check"}), 3);
    EXPECT_NE(err.Text().find("MBInfo.dat: 1 bytes follow the last record"), std::string::npos) << err.Text();
    EXPECT_NE(err.Text().find("CGInfo.dat: version 2 is not 1"), std::string::npos) << err.Text();
}

TEST_F(DataCommandTest, ShippedDatabaseIsSoundAndMatchesItsSources) {
    const std::string shipped = std::string(VC_SOURCE_DIR) + "/data";
    EXPECT_EQ(cli::RunDataCommand({"check"}, shipped, out, err), 0) << err.Text();
    ASSERT_EQ(Run({"build", shipped + "/sources"}), 0) << err.Text();
    test::TempDir reference;
    const auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    };
    EXPECT_EQ(dir.Read("MBInfo.dat"), read(shipped + "/MBInfo.dat"));
    EXPECT_EQ(dir.Read("CGInfo.dat"), read(shipped + "/CGInfo.dat"));
}

TEST_F(DataCommandTest, UsageErrors) {
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"build"}), 2);
    EXPECT_EQ(Run({"dump", "extra"}), 2);
    EXPECT_EQ(Run({"frobnicate"}), 2);
    EXPECT_EQ(Run({"build", src.File("absent.vcdata")}), 3);
    EXPECT_EQ(Run({"build", src.Path()}), 3);  // a directory without sources
}

}  // namespace
}  // namespace vc
