// An installed copy (PREFIX/bin/vcctl beside PREFIX/share/velocore3) keeps
// each user's files in the user's own folder; a build-folder copy keeps
// them beside itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "printed_fields.h"
#include "subprocess.h"

namespace vc::test {
namespace {

namespace fs = std::filesystem;

void CopyData(const fs::path& to) {
    fs::create_directories(to);
    for (const char* file : {"MBInfo.dat", "CGInfo.dat"})
        fs::copy_file(fs::path(VC_SOURCE_DIR) / "data" / file, to / file, fs::copy_options::overwrite_existing);
}

class InstalledCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        top_ = fs::temp_directory_path() /
               ("vc-installed-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(top_);
        fs::create_directories(top_ / "usr/bin");
        fs::copy_file(VC_VCCTL_PATH, top_ / "usr/bin/vcctl");
        CopyData(Shared());
        fs::create_directories(Shared() / "machines");
        fs::copy_file(fs::path(VC_SOURCE_DIR) / "machines/default.machine", Shared() / "machines/default.machine");
    }
    void TearDown() override { fs::remove_all(top_); }

    fs::path Shared() const { return top_ / "usr/share/velocore3"; }
    // User A finds the folder through HOME (a relative XDG_DATA_HOME does
    // not count), user B through XDG_DATA_HOME.
    fs::path FolderA() const { return top_ / "home-a/.local/share/VelocoreIII"; }
    fs::path FolderB() const { return top_ / "data-b/VelocoreIII"; }
    Finished As(char user, std::vector<std::string> args, const fs::path& program = {}) const {
        args.insert(args.begin(), (program.empty() ? top_ / "usr/bin/vcctl" : program).string());
        std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + top_.string(),
                                        "XDG_CONFIG_HOME=" + (top_ / "config").string()};
        if (user == 'A') {
            env.push_back("HOME=" + (top_ / "home-a").string());
            env.push_back("XDG_DATA_HOME=relative/data");
        } else {
            env.push_back("HOME=" + (top_ / "home-b").string());
            env.push_back("XDG_DATA_HOME=" + (top_ / "data-b").string());
        }
        return RunToEnd(args, env);
    }

    fs::path top_;
};

TEST_F(InstalledCopyTest, EachUserKeepsTheirOwnStateAndSharesTheData) {
    const Finished saved = As('A', {"--machine", "default", "detect", "next", "save", "status"});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    auto fields = Fields(saved.out);
    EXPECT_EQ(fields["folders.installed"], "yes");
    EXPECT_EQ(fields["folders.state"], FolderA().string());
    EXPECT_EQ(fields["folders.data"], Shared().string());
    EXPECT_TRUE(fs::exists(FolderA() / "sysinfo.dat"));
    EXPECT_EQ(fs::status(FolderA()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(Shared() / "sysinfo.dat"));
    EXPECT_FALSE(fs::exists(top_ / "usr/bin/sysinfo.dat"));

    // B sees none of A's state: nothing to load.
    const Finished other = As('B', {"--machine", "default", "status", "detect", "load"});
    EXPECT_EQ(other.exitCode, 3);
    EXPECT_EQ(Fields(other.out)["folders.state"], FolderB().string());
    EXPECT_FALSE(fs::exists(FolderB() / "sysinfo.dat"));

    // A's own start-up reads A's save.dat and sets autorun to the installed program.
    const Finished run = As('A', {"--machine", "default", "load", "run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    fields = Fields(run.out);
    EXPECT_EQ(fields["programDirectory"], FolderA().string());
    // Without --dir the entry's vcctl finds the same folders on its own.
    EXPECT_EQ(fields["autorun.VelocoreIII"], (top_ / "usr/bin/vcctl").string() + " startup");
}

TEST_F(InstalledCopyTest, TheUsersOwnDataFilesCountOnlyAsAPair) {
    fs::create_directories(FolderA());
    // Empty files: detection must fail when they are the ones read.
    std::ofstream(FolderA() / "MBInfo.dat").close();
    const Finished lone = As('A', {"--machine", "default", "detect", "status"});
    EXPECT_EQ(lone.exitCode, 0) << lone.err;
    EXPECT_EQ(Fields(lone.out)["folders.data"], Shared().string());

    std::ofstream(FolderA() / "CGInfo.dat").close();
    const Finished pair = As('A', {"--machine", "default", "status", "detect"});
    EXPECT_EQ(pair.exitCode, 3);
    EXPECT_EQ(Fields(pair.out)["folders.data"], FolderA().string());

    const Finished noSources = As('A', {"--machine", "default", "data", "add-board"});
    EXPECT_EQ(noSources.exitCode, 3);
    EXPECT_NE(noSources.err.find("has no sources/"), std::string::npos) << noSources.err;
    EXPECT_NE(noSources.err.find((Shared() / "sources").string()), std::string::npos) << noSources.err;
}

TEST_F(InstalledCopyTest, ABuildFolderCopyKeepsEverythingBesideItself) {
    const fs::path build = top_ / "build/bin";
    fs::create_directories(build);
    fs::copy_file(VC_VCCTL_PATH, build / "vcctl");
    CopyData(build);
    const Finished saved = As('A', {"--machine", "default", "detect", "save", "status"}, build / "vcctl");
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    auto fields = Fields(saved.out);
    EXPECT_EQ(fields["folders.installed"], "no");
    EXPECT_EQ(fields["folders.state"], build.string());
    EXPECT_EQ(fields["folders.data"], build.string());
    EXPECT_TRUE(fs::exists(build / "sysinfo.dat"));
    EXPECT_FALSE(fs::exists(top_ / "home-a"));
}

}  // namespace
}  // namespace vc::test
