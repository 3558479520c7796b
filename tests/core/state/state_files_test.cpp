// sysinfo.dat and save.dat: layouts, matching, atomic replacement.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <set>

#include <unistd.h>

#include "../board/database_bytes.h"
#include "../board/table_fixture.h"
#include "../board/temp_dir.h"
#include "core/state/auto_apply_file.h"
#include "core/state/pending_startup_file.h"
#include "core/state/settings_file.h"

namespace vc {
namespace {

const std::vector<ClockEntry> kTable{
    {100.2, 33.4, 100.2, 20, 0x18}, {112.0, 37.3, 112.0, 20, 0x38}, {124.0, 41.3, 124.0, 20, 0x50}};

class SettingsTest : public test::TableFixture, public ::testing::Test {
protected:
    SettingsTest() {
        Table(kTable);
        Indexes(1, 3, 1);
        info.cpu.signature = 0x683;
        info.multiplier = 5.5;
        info.busClockMHz = 99.9;
    }
    test::TempDir dir;
};

TEST_F(SettingsTest, SavedFileHasTheDocumentedLayout) {
    ASSERT_EQ(SaveSettings(info, dir.Path()), 1);
    test::LeBytes expected;
    expected.I32(3);
    expected.I32(0x683);
    expected.F64(5.5);
    expected.Text16("6BXE-R1.2");
    EXPECT_EQ(dir.Read("sysinfo.dat"), expected.bytes);
}

TEST_F(SettingsTest, SaveThenLoadSelectsTheEntryAndRecomputes) {
    ASSERT_EQ(SaveSettings(info, dir.Path()), 1);
    Indexes(1, 1, 1);
    ASSERT_EQ(LoadSettings(info, dir.Path()), 1);
    EXPECT_EQ(info.currentIndex, 3);
    EXPECT_EQ(info.appliedIndex, 1);  // loading writes nothing to the chip
    EXPECT_EQ(info.busClockMHz, 124.0);
    EXPECT_DOUBLE_EQ(info.cpuClockMHz, 5.5 * 124.0);
    EXPECT_TRUE(rig.platform.requests.empty());
}

struct Mismatch {
    const char* name;
    void (*change)(SavedSetting&);
};

void PrintTo(const Mismatch& c, std::ostream* os) { *os << c.name; }

class MismatchTest : public SettingsTest, public ::testing::WithParamInterface<Mismatch> {};

TEST_P(MismatchTest, LoadRefusesAndChangesNothing) {
    SavedSetting setting = SettingFrom(info);
    GetParam().change(setting);
    dir.Write("sysinfo.dat", EncodeSetting(setting));
    Indexes(1, 2, 1);
    EXPECT_EQ(LoadSettings(info, dir.Path()), 0);
    EXPECT_EQ(info.currentIndex, 2);
    EXPECT_EQ(info.busClockMHz, 99.9);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, MismatchTest,
    ::testing::Values(
        Mismatch{"OtherBoard", [](SavedSetting& s) { SetField(s.biosId, "6BXE-R1.3"); }},
        Mismatch{"BoardPrefix", [](SavedSetting& s) { SetField(s.biosId, "6BXE-R1."); }},
        Mismatch{"BoardCase", [](SavedSetting& s) { SetField(s.biosId, "6bxe-r1.2"); }},
        Mismatch{"UnterminatedBoard", [](SavedSetting& s) { std::memcpy(s.biosId, "6BXE-R1.2XXXXXXX", 16); }},
        Mismatch{"OtherSignature", [](SavedSetting& s) { s.signature = 0x686; }},
        Mismatch{"OtherMultiplier", [](SavedSetting& s) { s.multiplier = 5.0; }},
        Mismatch{"MultiplierOffByOneUlp", [](SavedSetting& s) { s.multiplier = std::nextafter(5.5, 6.0); }},
        Mismatch{"IndexZero", [](SavedSetting& s) { s.index = 0; }},
        Mismatch{"IndexNegative", [](SavedSetting& s) { s.index = -2; }},
        Mismatch{"IndexBeyondTable", [](SavedSetting& s) { s.index = 4; }},
        Mismatch{"IndexHuge", [](SavedSetting& s) { s.index = INT32_MAX; }}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(SettingsTest, BytesAfterTheTerminatorDoNotMatter) {
    SavedSetting setting = SettingFrom(info);
    std::memcpy(setting.biosId + 10, "junk!", 5);
    dir.Write("sysinfo.dat", EncodeSetting(setting));
    EXPECT_EQ(LoadSettings(info, dir.Path()), 1);
}

TEST_F(SettingsTest, ShortOrMissingFileIsAMismatch) {
    EXPECT_EQ(LoadSettings(info, dir.Path()), 0);
    const std::vector<uint8_t> whole = EncodeSetting(SettingFrom(info));
    for (size_t length = 0; length < whole.size(); ++length) {
        dir.Write("sysinfo.dat", std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(length)));
        Indexes(1, 2, 1);
        EXPECT_EQ(LoadSettings(info, dir.Path()), 0) << length;
        EXPECT_EQ(info.currentIndex, 2);
    }
}

TEST_F(SettingsTest, LongerFileIsReadForItsFirst32Bytes) {
    std::vector<uint8_t> bytes = EncodeSetting(SettingFrom(info));
    bytes.insert(bytes.end(), {1, 2, 3});
    dir.Write("sysinfo.dat", bytes);
    EXPECT_EQ(LoadSettings(info, dir.Path()), 1);
}

// --- save.dat -------------------------------------------------------------------

TEST(AutoApplyFileTest, WritesEightBytesAndNeverGrows) {
    test::TempDir dir;
    const AutoApplySettings settings{1, 2};
    ASSERT_EQ(WriteAutoApplySettings(dir.Path(), settings), 1);
    ASSERT_EQ(WriteAutoApplySettings(dir.Path(), settings), 1);
    EXPECT_EQ(dir.Read("save.dat"), (std::vector<uint8_t>{1, 0, 0, 0, 2, 0, 0, 0}));
    AutoApplySettings read;
    EXPECT_EQ(ReadAutoApplySettings(dir.Path(), read), 1);
    EXPECT_EQ(read, settings);
}

TEST(AutoApplyFileTest, MissingFileReadsAsNotSet) {
    test::TempDir dir;
    AutoApplySettings read{1, 1};
    EXPECT_EQ(ReadAutoApplySettings(dir.Path(), read), 0);
    EXPECT_EQ(read, (AutoApplySettings{0, 0}));
}

TEST(AutoApplyFileTest, ShortFileKeepsOnlyCompleteFields) {
    const std::vector<uint8_t> whole{1, 0, 0, 0, 2, 0, 0, 0};
    const std::vector<AutoApplySettings> expected{{0, 0}, {0, 0}, {0, 0}, {0, 0}, {1, 0},
                                                  {1, 0}, {1, 0}, {1, 0}, {1, 2}};
    for (size_t length = 0; length <= whole.size(); ++length) {
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
        EXPECT_EQ(DecodeAutoApply(cut), expected[length]) << length;
    }
}

TEST(PendingStartupFileTest, HasTheDocumentedLayoutAndNothingElseReads) {
    test::TempDir dir;
    PendingStartup pending{12, 2, 133.5, "6BXE-R1.2"};
    ASSERT_TRUE(WritePendingStartup(dir.Path(), pending));
    std::vector<uint8_t> expected{12, 0, 0, 0, 2, 0, 0, 0};
    for (int i = 0; i < 8; ++i) expected.push_back(static_cast<uint8_t>(std::bit_cast<uint64_t>(133.5) >> (8 * i)));
    for (char c : std::string("6BXE-R1.2")) expected.push_back(static_cast<uint8_t>(c));
    expected.resize(32, 0);
    ASSERT_EQ(dir.Read("pending.dat"), expected);
    ASSERT_TRUE(ReadPendingStartup(dir.Path()).record.has_value());

    // Still there, but no record: one byte short, one byte over, source 3.
    std::vector<uint8_t> longer = expected, foreign = expected;
    longer.push_back(0);
    foreign[4] = 3;
    for (const auto& bytes : {std::vector<uint8_t>(expected.begin(), expected.end() - 1), longer, foreign}) {
        dir.Write("pending.dat", bytes);
        const PendingStartupFound damaged = ReadPendingStartup(dir.Path());
        EXPECT_TRUE(damaged.present && !damaged.record) << bytes.size();
    }
}

// --- atomic replacement ---------------------------------------------------------

TEST(AtomicFileTest, AFolderNamedLikeTheTemporaryIsLeftAlone) {
    test::TempDir dir;
    ASSERT_EQ(WriteAutoApplySettings(dir.Path(), {1, 1}), 1);
    for (const char* blocker : {"save.dat.tmp", "save.dat.tmp1"}) std::filesystem::create_directory(dir.File(blocker));
    dir.WriteText("save.dat.tmp/keep", "mine");
    EXPECT_EQ(WriteAutoApplySettings(dir.Path(), {2, 1}), 1);
    EXPECT_EQ(dir.Read("save.dat"), (std::vector<uint8_t>{2, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(test::Entries(dir.Path()), (std::set<std::string>{"save.dat", "save.dat.tmp", "save.dat.tmp1"}));
    EXPECT_EQ(test::Entries(dir.File("save.dat.tmp")), std::set<std::string>{"keep"});
    EXPECT_TRUE(test::Entries(dir.File("save.dat.tmp1")).empty());
}

TEST(AtomicFileTest, TargetThatCannotBeReplacedLeavesNoTemporary) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.File("sysinfo.dat") + "/inside");  // a non-empty directory
    SystemInfo info;
    EXPECT_EQ(SaveSettings(info, dir.Path()), 0);
    EXPECT_EQ(test::Entries(dir.Path()), std::set<std::string>{"sysinfo.dat"});
}

TEST(AtomicFileTest, LinkToAMissingFolderOrALoopFailsAndStaysALink) {
    test::TempDir dir;
    std::filesystem::create_symlink("absent/real.dat", dir.File("sysinfo.dat"));
    std::filesystem::create_symlink("pending.dat", dir.File("pending.dat"));
    EXPECT_EQ(SaveSettings(SystemInfo{}, dir.Path()), 0);
    EXPECT_FALSE(WritePendingStartup(dir.Path(), PendingStartup{1, 1, 100.0, "X"}));
    EXPECT_EQ(test::Entries(dir.Path()), (std::set<std::string>{"pending.dat", "sysinfo.dat"}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("sysinfo.dat")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("pending.dat")));
}

TEST(AtomicFileTest, MissingDirectoryFails) {
    test::TempDir dir;
    SystemInfo info;
    EXPECT_EQ(SaveSettings(info, dir.File("absent")), 0);
    EXPECT_EQ(WriteAutoApplySettings(dir.File("absent"), {1, 1}), 0);
}

TEST(AtomicFileTest, ReadOnlyDirectoryKeepsTheOldFile) {
#ifdef _WIN32
    GTEST_SKIP() << "a folder's read-only attribute does not bind the files in it";
#else
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
#endif
    test::TempDir dir;
    ASSERT_EQ(WriteAutoApplySettings(dir.Path(), {1, 1}), 1);
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(WriteAutoApplySettings(dir.Path(), {2, 2}), 0);
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(dir.Read("save.dat"), (std::vector<uint8_t>{1, 0, 0, 0, 1, 0, 0, 0}));
}

}  // namespace
}  // namespace vc
