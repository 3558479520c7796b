// vcctl on this computer against the Linux helper's socket, when the helper
// is not there to answer: the driver's failure paths, never a hang. And the
// probe, read only, on a simulated NT board.
#include <gtest/gtest.h>

#include <algorithm>
#include <poll.h>
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

    // vcctl against a helper that turns every connection away, as it does a
    // caller outside its group: accepted, then closed unanswered.
    Finished VcctlRefused(std::vector<std::string> commands) const {
        std::vector<std::string> args = {VC_VCCTL_PATH, "--dir", dir_.string()};
        args.insert(args.end(), commands.begin(), commands.end());
        Child child(args, {"VELOCORE_DRIVER_SOCKET=" + Path()});
        for (int waitMs = 10000;; waitMs = 1000) {
            pollfd incoming{listener_, POLLIN, 0};
            if (::poll(&incoming, 1, waitMs) <= 0) break;
            const int fd = ::accept(listener_, nullptr, nullptr);
            if (fd >= 0) ::close(fd);
        }
        return child.Finish();
    }

    fs::path dir_;
    int listener_ = -1;
};

TEST_F(HelperClientTest, ADeadHelpersSocketFailsToOpenTheDriverAndSaysWhereToLook) {
    Socket(false);
    const std::string why = "vcctl: nobody listens on velocore-driverd's socket " + Path();
    const Finished run = Vcctl({"detect"});
    EXPECT_EQ(run.exitCode, 1);
    // The explanation, then the program's own message as it always was.
    EXPECT_TRUE(run.err.starts_with(why)) << run.err;
    EXPECT_TRUE(run.err.ends_with("`systemctl status velocore-driverd.socket`\n"
                                  "Message: Failed to open Velocore Win2000 driver\n"))
        << run.err;

    const Finished probe = Vcctl({"probe"});
    EXPECT_EQ(probe.exitCode, 3);
    EXPECT_TRUE(probe.err.starts_with(why)) << probe.err;
    EXPECT_EQ(probe.err.find("install velocore-driverd"), std::string::npos) << probe.err;
}

TEST_F(HelperClientTest, AHelperThatTurnsTheCallerAwayIsNamedAndProbeFails) {
    Socket(true);
    const Finished probe = VcctlRefused({"probe"});
    EXPECT_EQ(probe.exitCode, 3);
    EXPECT_TRUE(probe.err.starts_with("vcctl: velocore-driverd ")) << probe.err;
    EXPECT_TRUE(probe.err.ends_with("probe: the driver gave no answer\n")) << probe.err;
    EXPECT_EQ(probe.out.find("probe."), std::string::npos) << probe.out;

    const Finished detect = VcctlRefused({"detect"});
    EXPECT_EQ(detect.exitCode, 3);
    EXPECT_TRUE(detect.err.starts_with("vcctl: velocore-driverd ")) << detect.err;
    EXPECT_NE(detect.err.find("\nMessage: ScanBiosInfo fail\n"), std::string::npos) << detect.err;
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
    EXPECT_NE(run.out.find("probe.clockgen[0]: controller=0xEF00 address=0x69 answers=yes readback=skipped\n"),
              std::string::npos) << run.out;
    EXPECT_NE(run.out.find("probe.biosMatch[0]: Q6B1-R1.0"), std::string::npos);
    EXPECT_NE(run.out.find("probe.configWord: 0x"), std::string::npos);
    // Unasked, the chip is not read: a block read can hang a controller
    // behind a chip without read-back. Nothing is written to it either.
    for (const char* access : {"smbus block-read", "smbus block-write", "smbus word-write", "chip "}) {
        EXPECT_EQ(run.out.find(access), std::string::npos) << "the probe made: " << access;
    }
    EXPECT_EQ(run.err.find("block-reading"), std::string::npos) << run.err;

    // Asked, it says what it does first, reads the block once and reports
    // its bytes (the RTM560-25's 17-byte block); still nothing written.
    const Finished read = RunToEnd(
        {VC_VCCTL_PATH, "--machine", "nt4-q6b1", "--dir", dir_.string(), "probe", "--read-chip", "trace"});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_TRUE(read.err.starts_with("note: block-reading the clock generator's registers")) << read.err;
    EXPECT_NE(read.err.find("can hang the SMBus controller"), std::string::npos) << read.err;
    const std::string bytes = "readback=";
    const size_t at = read.out.find("probe.clockgen[0]: controller=0xEF00 address=0x69 answers=yes " + bytes);
    ASSERT_NE(at, std::string::npos) << read.out;
    const std::string list = read.out.substr(at, read.out.find('\n', at) - at);
    EXPECT_EQ(std::count(list.begin(), list.end(), ','), 16) << list;  // seventeen bytes
    const size_t first = read.out.find("smbus block-read addr=0xD3");
    EXPECT_NE(first, std::string::npos) << read.out;
    EXPECT_EQ(read.out.find("smbus block-read", first + 1), std::string::npos) << read.out;
    for (const char* write : {"smbus block-write", "smbus word-write", "chip "}) {
        EXPECT_EQ(read.out.find(write), std::string::npos) << "the probe wrote: " << write;
    }
}

}  // namespace
}  // namespace vc::test
