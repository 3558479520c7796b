// vcctl on this computer against the Linux helper's socket, when the helper
// is not there to answer: the driver's failure paths, never a hang. And the
// probe, read only, on a simulated NT board.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "subprocess.h"

namespace vc::test {
namespace {

namespace fs = std::filesystem;

class HelperClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vc-helper-client-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        for (const char* file : {"MBInfo.dat", "CGInfo.dat"})
            fs::copy_file(fs::path(VC_SOURCE_DIR) / "data" / file, dir_ / file);
    }
    void TearDown() override {
        if (listener_ >= 0) ::close(listener_);
        fs::remove_all(dir_);
    }

    // A socket at `path`; listening or not (a stale file left by a dead helper).
    void Socket(bool listening) {
        const std::string path = Path();
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path.size(), sizeof address.sun_path);
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        if (listening) {
            ASSERT_EQ(::listen(listener_, 4), 0);
        } else {
            ::close(listener_);
            listener_ = -1;
        }
    }
    std::string Path() const { return (dir_ / "driverd.sock").string(); }
    Finished Vcctl(std::vector<std::string> commands) const {
        std::vector<std::string> args = {VC_VCCTL_PATH, "--dir", dir_.string()};
        args.insert(args.end(), commands.begin(), commands.end());
        return RunToEnd(args, {"VELOCORE_DRIVER_SOCKET=" + Path()});
    }

    fs::path dir_;
    int listener_ = -1;
};

TEST_F(HelperClientTest, ADeadHelpersSocketFailsToOpenTheDriver) {
    Socket(false);
    const Finished run = Vcctl({"detect"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Message: Failed to open Velocore Win2000 driver\n");
}

TEST_F(HelperClientTest, AHelperThatNeverAnswersFailsTheRequestsInsteadOfHanging) {
    Socket(true);  // connections wait in the backlog; nobody reads or answers
    const Finished run = Vcctl({"detect"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err,
              "Message: ScanBiosInfo fail\n"
              "Message: Sorry!! We didn't support this mainboard.\n");
}

TEST_F(HelperClientTest, ProbeReportsWhatTheDriverSeesWithoutWriting) {
    const Finished run = RunToEnd({VC_VCCTL_PATH, "--machine", "nt4-q6b1", "--dir", dir_.string(), "probe", "trace"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("probe.controller[0]: kind=2 base=0xEF00"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("probe.clockgen[0]: controller=0xEF00 address=0x69 answers=yes"), std::string::npos);
    EXPECT_NE(run.out.find("probe.biosMatch[0]: Q6B1-R1.0"), std::string::npos);
    EXPECT_NE(run.out.find("probe.configWord: 0x"), std::string::npos);
    // The clock generator is asked with one block read; nothing is written to it.
    EXPECT_NE(run.out.find("smbus block-read addr=0xD3"), std::string::npos) << run.out;
    for (const char* write : {"smbus block-write", "smbus word-write", "chip "}) {
        EXPECT_EQ(run.out.find(write), std::string::npos) << "the probe wrote: " << write;
    }
}

}  // namespace
}  // namespace vc::test
