// vcctl saving into a program directory whose sysinfo.dat is a link into
// another folder, as a user who keeps the file elsewhere would set it up.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "../core/board/temp_dir.h"
#include "printed_fields.h"
#include "subprocess.h"

namespace vc::test {
namespace {

namespace fs = std::filesystem;

TEST(StateFileLinks, SaveWritesThroughALinkChainAroundABlockingTemporaryName) {
    TempDir root;
    const fs::path program = root.File("program"), elsewhere = root.File("elsewhere");
    fs::create_directories(program);
    fs::create_directories(elsewhere / "real.dat.tmp");
    root.WriteText("elsewhere/real.dat.tmp/keep", "mine");
    for (const char* file : {"MBInfo.dat", "CGInfo.dat"})
        fs::copy_file(fs::path(VC_SOURCE_DIR) / "data" / file, program / file);
    fs::create_symlink("../elsewhere/hop", program / "sysinfo.dat");
    fs::create_symlink("real.dat", elsewhere / "hop");  // dangling until the first save
    const auto programBefore = Entries(program);

    const auto vcctl = [&](const std::vector<std::string>& commands) {
        std::vector<std::string> argv{VC_VCCTL_PATH, "--machine", "default", "--dir", program.string()};
        argv.insert(argv.end(), commands.begin(), commands.end());
        return RunToEnd(argv);
    };
    // The first save creates the file the chain ends in, the second replaces it.
    for (const auto& commands : {std::vector<std::string>{"detect", "save"}, {"detect", "next", "save"}}) {
        const Finished saved = vcctl(commands);
        ASSERT_EQ(saved.exitCode, 0) << saved.err;
    }

    EXPECT_TRUE(fs::is_symlink(program / "sysinfo.dat"));
    EXPECT_TRUE(fs::is_symlink(elsewhere / "hop"));
    EXPECT_EQ(fs::file_size(elsewhere / "real.dat"), 32u);
    EXPECT_EQ(root.Read("elsewhere/real.dat.tmp/keep"), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(Entries(elsewhere / "real.dat.tmp"), std::set<std::string>{"keep"});
    EXPECT_EQ(Entries(elsewhere), (std::set<std::string>{"hop", "real.dat", "real.dat.tmp"}));
    EXPECT_EQ(Entries(program), programBefore);

    const Finished loaded = vcctl({"detect", "load", "status"});
    ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
    EXPECT_NE(loaded.err.find("Setting Load OK"), std::string::npos) << loaded.err;
    auto fields = Fields(loaded.out);
    EXPECT_EQ(std::stoi(fields["currentIndex"]), std::stoi(fields["defaultIndex"]) + 1);
}

}  // namespace
}  // namespace vc::test
