// The file seam on the ANSI Win32 calls: the atomic replace leaves exactly
// the target behind, and the folder, listing, removal and path rules hold
// for both separators.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/base/file_io.h"

namespace vc {
namespace {

class Win32FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH + 1] = {};
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        dir_ = std::string(temp) + "vc-file-test-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectories(dir_));
    }
    void TearDown() override {
        for (const std::string& name : Entries()) RemoveFile(dir_ + "\\" + name);
        RemoveDirectoryA((dir_ + "\\a\\b").c_str());
        RemoveDirectoryA((dir_ + "\\a").c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names = FolderEntries(dir_);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string dir_;
};

TEST_F(Win32FileTest, ReplaceLeavesOnlyTheTargetWithTheNewBytes) {
    const std::string target = dir_ + "/save.dat";
    const std::vector<uint8_t> first{1, 0, 0, 0}, second{2, 0, 0, 0, 2, 0, 0, 0};
    ASSERT_TRUE(ReplaceFileAtomically(target, first));
    ASSERT_TRUE(ReplaceFileAtomically(target, second));
    EXPECT_EQ(ReadFileBytes(target, 64), second);
    EXPECT_EQ(ReadFileBytes(target, 3), (std::vector<uint8_t>{2, 0, 0}));
    EXPECT_EQ(Entries(), std::vector<std::string>{"save.dat"});
}

TEST_F(Win32FileTest, ReplaceIntoAMissingFolderFailsAndLeavesNothing) {
    EXPECT_FALSE(ReplaceFileAtomically(dir_ + "/absent/save.dat", std::vector<uint8_t>{1}));
    EXPECT_FALSE(ReadFileBytes(dir_ + "/absent/save.dat", 8).has_value());
    EXPECT_TRUE(Entries().empty());
}

TEST_F(Win32FileTest, FoldersFilesAndRemoval) {
    EXPECT_TRUE(CreateDirectories(dir_ + "/a\\b/"));
    EXPECT_TRUE(IsDirectory(dir_ + "\\a\\b"));
    EXPECT_EQ(AbsolutePath(dir_ + "/a/./b/../b"), dir_ + "\\a\\b");
    EXPECT_FALSE(IsRegularFile(dir_ + "/a"));
    ASSERT_TRUE(ReplaceFileAtomically(dir_ + "/f", std::vector<uint8_t>{7}));
    EXPECT_TRUE(IsRegularFile(dir_ + "\\f"));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a", "f"}));
    EXPECT_FALSE(IsDirectory(dir_ + "/f"));
    EXPECT_FALSE(CreateDirectories(dir_ + "/f/g"));  // a file stands in the way
    EXPECT_FALSE(RemoveFile(dir_ + "/a"));            // a folder is not a file
    EXPECT_TRUE(RemoveFile(dir_ + "/f"));
    EXPECT_TRUE(RemoveFile(dir_ + "/f"));  // nothing there is fine
    EXPECT_FALSE(IsRegularFile(dir_ + "/f"));
}

}  // namespace
}  // namespace vc
