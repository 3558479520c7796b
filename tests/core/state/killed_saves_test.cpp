// Saves killed at any point: the file stays whole, and the temporaries the
// killed saves left are removed by the next save, while a save under way
// elsewhere (a fresh temporary) and names the seam never makes are kept.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include "../board/temp_dir.h"
#include "core/base/file_io.h"

namespace vc {
namespace {

TEST(KilledSaves, LeaveTheFileWholeAndNoStrayTemporaryAfterTheNextSave) {
    test::TempDir dir;
    const std::string file = dir.File("sysinfo.dat");
    // Large enough that a kill often lands while the temporary is written.
    const std::vector<uint8_t> first(256 * 1024, 0xA5);
    const std::vector<uint8_t> second(256 * 1024, 0x5A);
    ASSERT_TRUE(ReplaceFileAtomically(file, first));
    std::mt19937 random(31);
    int leftBehind = 0;
    for (int kill = 0; kill < 150; ++kill) {
        const pid_t saver = ::fork();
        if (saver == 0) {
            for (;;) ReplaceFileAtomically(file, (kill % 2) != 0 ? first : second);
        }
        ASSERT_GT(saver, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
        ::kill(saver, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        leftBehind = std::max(leftBehind, static_cast<int>(test::Entries(dir.Path()).size()) - 1);
    }
    const auto bytes = ReadFileBytes(file, 1 << 20);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_TRUE(*bytes == first || *bytes == second);
    std::printf("INFO at most %d temporaries left behind at once by 150 killed saves\n", leftBehind);

    // What the killed saves left (and the names earlier versions used) is
    // stale a moment later; a fresh one is another save's, under way; the
    // others are not the seam's names.
    for (const char* name : {"sysinfo.dat.tmp", "sysinfo.dat.tmp1"}) {
        ASSERT_TRUE(ReplaceFileAtomically(dir.File(name), std::vector<uint8_t>{1}));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    for (const char* name : {"sysinfo.dat.tmp0badf00d", "sysinfo.dat.tmp.keep", "sysinfo.dat.tmpx", "other.dat.tmp"}) {
        ASSERT_TRUE(ReplaceFileAtomically(dir.File(name), std::vector<uint8_t>{1}));
    }
    ASSERT_TRUE(ReplaceFileAtomically(file, first));
    EXPECT_EQ(test::Entries(dir.Path()), (std::set<std::string>{"sysinfo.dat", "sysinfo.dat.tmp0badf00d",
                                                          "sysinfo.dat.tmp.keep", "sysinfo.dat.tmpx",
                                                          "other.dat.tmp"}));
}

}  // namespace
}  // namespace vc
