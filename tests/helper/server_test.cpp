// The helper end to end over its socket, on a machine of its own (nothing
// here reaches real hardware): who gets in, what a request answers, what a
// bad or stalled client does to the others.
#include "helper/server.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "helper/fake_hardware.h"
#include "helper/requests.h"
#include "helper/running_helper.h"
#include "helper/wire_client.h"

extern char** environ;

namespace vc::helper {
namespace {

namespace fs = std::filesystem;
using test::SmbusFields;
using test::TempDir;
using test::WireClient;
using Clock = std::chrono::steady_clock;

constexpr gid_t kHelperGroup = 4242;
constexpr uid_t kNobody = 65534;

class HelperSocket : public ::testing::Test {
protected:
    void Start(ServerConfig config = {}) {
        std::string why;
        ASSERT_TRUE(helper_.Start(config, why)) << why;
        path_ = helper_.path;
    }

    // A client of another user, in a child process: it connects, sends
    // `frame` and exits 0 when the helper answered with `expectOk` (or, when
    // `expectRefused`, closed the connection without an answer). Only
    // system calls after the fork: the server thread may hold a lock.
    int ChildClient(gid_t gid, std::vector<gid_t> groups, const std::vector<uint8_t>& frame, bool expectRefused) {
        ::chmod(path_.c_str(), 0666);  // so that only the helper's own check decides
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(gid) != 0 || ::setuid(kNobody) != 0) {
                ::_exit(10);
            }
            // A refused client may find the connection closed before it writes.
            ::signal(SIGPIPE, SIG_IGN);
            const int fd = test::ConnectTo(path_);
            if (fd < 0) ::_exit(11);
            if (::write(fd, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) {
                ::_exit(expectRefused && (errno == EPIPE || errno == ECONNRESET) ? 0 : 12);
            }
            uint8_t answer[kWireResponseHeaderSize];
            const ssize_t got = ::read(fd, answer, sizeof answer);
            if (expectRefused) ::_exit(got == 0 || (got < 0 && errno == ECONNRESET) ? 0 : 13);
            ::_exit(got == static_cast<ssize_t>(sizeof answer) && answer[0] == 1 ? 0 : 14);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        lastChild_ = pid;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    test::RunningHelper helper_;
    test::FakeHardware& hw_ = helper_.hw;
    test::LogLines& log_ = helper_.log;
    std::string path_;
    pid_t lastChild_ = 0;
};

std::vector<uint8_t> Frame(const WireRequest& request) { return *EncodeWireRequest(request); }

TEST_F(HelperSocket, AGoodWriteReachesTheHardwareAndIsAnswered) {
    Start();
    WireClient client(path_);
    ASSERT_TRUE(client.connected());
    SmbusFields f;
    f.ioBase = 0x0600;
    f.kind = 2;
    f.mask = 0x40;
    const auto answer = client.Exchange(test::SmbusWrite(kReqNtSmbusBlockWrite, f, {0x23}));
    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(answer->ok);
    EXPECT_TRUE(answer->output.empty());
    std::lock_guard<std::mutex> lock(hw_.mutex);
    ASSERT_EQ(hw_.writes.size(), 1u);
    EXPECT_EQ(hw_.writes[0].controller.pci, "0000:00:1f.3");
    EXPECT_EQ(hw_.writes[0].write.variant, SmbusVariant::BlockByteWise);
    EXPECT_EQ(hw_.writes[0].write.data, std::vector<uint8_t>{0x23});
    EXPECT_TRUE(log_.Has("write uid=0 code=0x9C402450 ioBase=0x0600 kind=2 address=0x69 mask=0x40 bytes=[0x23] "
                         "on ports: done"));
}

TEST_F(HelperSocket, BadRequestsFailWithALogLineAndTheConnectionServesOn) {
    Start();
    WireClient client(path_);
    ASSERT_TRUE(client.connected());
    struct Case {
        WireRequest request;
        const char* logged;
    };
    SmbusFields wrongBase, wrongKind, wrongAddress, overLong;
    wrongBase.ioBase = 0x0710;
    wrongKind.kind = 2;
    wrongAddress.writeAddress = 0x50 << 1;
    overLong.count = 33;
    WireRequest shortBuffer = test::SmbusWrite(kReqNtSmbusBlockWrite, {}, {0x12});
    shortBuffer.input.resize(20);
    const Case cases[] = {
        {test::SmbusWrite(kReqNtSmbusBlockWrite, wrongBase, {0x12}),
         "refused uid=0 code=0x9C402450: ioBase 0x0710 is no SMBus controller PCI shows"},
        {test::SmbusWrite(kReqNtSmbusBlockWrite, wrongKind, {0x12}),
         "refused uid=0 code=0x9C402450: kind 2 does not match the controller at 0x0700 (kind 1)"},
        {test::SmbusWrite(kReqNtSmbusBlockWrite, wrongAddress, {0x12}),
         "refused uid=0 code=0x9C402450: address 0xA0 is not the clock generator's (0xD2)"},
        {test::SmbusWrite(kReqNtIcs9248, overLong, std::vector<uint8_t>(32, 0x12)),
         "refused uid=0 code=0x9C402490: count 33 is outside 1..32"},
        {WireRequest{0x9C402400, {}, 4, {}}, "refused uid=0 code=0x9C402400: unknown request code"},
        {shortBuffer, "refused uid=0 code=0x9C402450: short input: 20 of 28 bytes"},
    };
    for (const Case& c : cases) {
        const auto answer = client.Exchange(c.request);
        ASSERT_TRUE(answer.has_value()) << c.logged;
        EXPECT_FALSE(answer->ok) << c.logged;
        EXPECT_TRUE(answer->output.empty()) << c.logged;
        EXPECT_EQ(log_.Last(), c.logged);
    }
    EXPECT_TRUE(hw_.writes.empty());
    const auto good = client.Exchange(test::PciRead(0x8000'0000));
    ASSERT_TRUE(good.has_value());
    EXPECT_TRUE(good->ok);
}

TEST_F(HelperSocket, ProbeAnswersWithTheReportText) {
    Start();
    WireClient client(path_);
    // With the input word asking for the clock generator's block read.
    const auto answer = client.Exchange({kReqProbe, {0x01, 0x00, 0x00, 0x00}, 1024, {}});
    ASSERT_TRUE(answer.has_value());
    ASSERT_TRUE(answer->ok);
    const std::string report(answer->output.begin(), answer->output.end());
    EXPECT_EQ(report.rfind("controller kind=1 base=0x0700 pci=0000:00:01.3 driver=piix4_smbus adapter=/dev/i2c-0\n", 0),
              0u);
    EXPECT_NE(report.find("clockgen controller=0x0600 address=0x69 answers=yes readback=none\n"), std::string::npos);
}

TEST_F(HelperSocket, AnAnswerIsNeverLongerThanTheClientAsked) {
    Start();
    WireClient client(path_);
    // Four bytes of PCI data on offer, eight asked: four come back.
    const auto answer = client.Exchange(test::PciRead(0x8000'0000, 8));
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->output.size(), 4u);
}

TEST_F(HelperSocket, AMalformedFrameClosesThatConnectionOnly) {
    Start();
    WireClient bad(path_);
    WireClient good(path_);
    std::vector<uint8_t> header(kWireHeaderSize, 0);
    PutLe32(header, 0, kReqNtPciRead);
    PutLe32(header, 4, kWireMaxInput + 1);
    ASSERT_TRUE(bad.Send(header));
    EXPECT_TRUE(bad.ClosedByHelper());
    EXPECT_TRUE(log_.Has("uid=0 pid=" + std::to_string(::getpid()) +
                         ": malformed request: input of 65 bytes is over the limit"));
    EXPECT_TRUE(good.Exchange(test::PciRead(0x8000'0000)).has_value());
}

TEST_F(HelperSocket, AStalledClientHoldsNobodyUpAndIsClosedAfterTheTimeout) {
    ServerConfig config;
    config.readTimeout = std::chrono::milliseconds(400);
    Start(config);
    WireClient stalled(path_);
    const auto frame = Frame(test::PciRead(0x8000'0000));
    ASSERT_TRUE(stalled.Send(std::span(frame).first(10)));

    WireClient other(path_);
    const auto started = Clock::now();
    const auto answer = other.Exchange(test::PciRead(0x8000'0000));
    ASSERT_TRUE(answer.has_value());
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(300));

    EXPECT_TRUE(stalled.ClosedByHelper());
    EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(350));
    EXPECT_TRUE(log_.Has(": request not complete within 400 ms; closed"));
}

TEST_F(HelperSocket, AConnectionWithoutARequestIsClosedAfterTheIdleTimeout) {
    ServerConfig config;
    config.idleTimeout = std::chrono::milliseconds(300);
    Start(config);
    WireClient served(path_);
    ASSERT_TRUE(served.Exchange(test::PciRead(0x8000'0000)).has_value());
    WireClient idle(path_);
    EXPECT_TRUE(idle.ClosedByHelper());
    EXPECT_TRUE(served.ClosedByHelper());  // idle too since its answer
    EXPECT_TRUE(log_.Has(": no request for 300 ms; closed"));
}

// One member opening connection after connection gets a few; root and
// another member are served all the same.
TEST_F(HelperSocket, OneMemberHoldsOnlyAFewConnectionsAndNobodyIsShutOut) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a client as another user";
    ServerConfig config;
    config.group = kHelperGroup;
    Start(config);
    ::chmod(path_.c_str(), 0666);
    int counts[2], release[2];
    ASSERT_EQ(::pipe(counts), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        const gid_t groups[] = {kHelperGroup};
        if (::setgroups(1, groups) != 0 || ::setgid(kHelperGroup) != 0 || ::setuid(kNobody) != 0) ::_exit(10);
        std::vector<int> fds;
        for (int i = 0; i < 40; ++i) fds.push_back(test::ConnectTo(path_));
        ::usleep(300'000);
        char open = 0;
        for (const int fd : fds) {
            pollfd one{fd, POLLIN, 0};
            if (fd >= 0 && ::poll(&one, 1, 0) == 0) ++open;  // neither closed nor answered
        }
        if (::write(counts[1], &open, 1) != 1) ::_exit(11);
        char done = 0;
        [[maybe_unused]] const ssize_t ignored = ::read(release[0], &done, 1);
        ::_exit(0);
    }
    char open = 0;
    ASSERT_EQ(::read(counts[0], &open, 1), 1);
    EXPECT_EQ(open, 4);
    EXPECT_TRUE(log_.Has("refused uid=65534 pid="));
    EXPECT_TRUE(log_.Has(": this uid holds 4 connections already (4 at most)"));
    WireClient root(path_);
    EXPECT_TRUE(root.Exchange(test::PciRead(0x8000'0000)).has_value());
    const pid_t other = ::fork();
    if (other == 0) {
        if (::setgid(kHelperGroup) != 0 || ::setuid(kNobody - 1) != 0) ::_exit(10);
        WireClient member(path_);
        const auto answer = member.Exchange(test::PciRead(0x8000'0000));
        ::_exit(answer && answer->ok ? 0 : 12);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(::write(release[1], "x", 1), 1);
    ::waitpid(holder, &status, 0);
    for (const int fd : {counts[0], counts[1], release[0], release[1]}) ::close(fd);
}

TEST_F(HelperSocket, ARequestSentInPiecesIsServedWhole) {
    Start();
    WireClient client(path_);
    const auto frame = Frame(test::SmbusWrite(kReqNtSmbusBlockWrite, {}, {0x11}));
    for (size_t i = 0; i < frame.size(); i += 7) {
        ASSERT_TRUE(client.Send(std::span(frame).subspan(i, std::min<size_t>(7, frame.size() - i))));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const auto answer = client.Receive(28);
    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(answer->ok);
}

// Random frames within the limits: every one is answered or its connection
// closed, and the helper keeps serving.
TEST_F(HelperSocket, SurvivesRandomFrames) {
    Start();
    std::mt19937 random(20261208);
    const uint32_t codes[] = {kReqNtBiosFind, kReqNtIntelRatio, kReqNtAmdRatio, kReqNtPciRead, kReqNtSmbusBlockWrite,
                              kReqNtIcs9248, kReqNtRtm560, kReqProbe, 0, 0xFFFFFFFF};
    for (int round = 0; round < 300; ++round) {
        WireRequest request;
        request.code = round % 3 == 0 ? static_cast<uint32_t>(random()) : codes[random() % std::size(codes)];
        request.input.resize(random() % (kWireMaxInput + 1));
        for (auto& b : request.input) b = static_cast<uint8_t>(random());
        request.outputLength = static_cast<uint32_t>(random() % (kWireMaxOutput + 1));
        request.referenced.resize(random() % (kWireMaxReferenced + 1));
        for (auto& b : request.referenced) b = static_cast<uint8_t>(random());
        WireClient client(path_);
        ASSERT_TRUE(client.Exchange(request).has_value()) << "round " << round;
    }
    WireClient client(path_);
    EXPECT_TRUE(client.Exchange(test::PciRead(0x8000'0000)).has_value());
}

TEST_F(HelperSocket, AClientOutsideTheGroupIsRefusedAndLogged) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a client as another user";
    ServerConfig config;
    config.group = kHelperGroup;
    Start(config);
    EXPECT_EQ(ChildClient(kNobody, {}, Frame(test::PciRead(0x8000'0000)), true), 0);
    EXPECT_TRUE(log_.Has("refused uid=65534 gid=65534 pid=" + std::to_string(lastChild_) +
                         ": neither root nor in the helper's group"));
    EXPECT_TRUE(hw_.pciAsked.empty());
}

TEST_F(HelperSocket, MembersOfTheGroupGetInByPrimaryOrSupplementaryGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a client as another user";
    ServerConfig config;
    config.group = kHelperGroup;
    Start(config);
    EXPECT_EQ(ChildClient(kNobody, {100, kHelperGroup}, Frame(test::PciRead(0x8000'0000)), false), 0);
    EXPECT_EQ(ChildClient(kHelperGroup, {}, Frame(test::PciRead(0x8000'0000)), false), 0);
    EXPECT_EQ(hw_.pciAsked.size(), 2u);
}

TEST_F(HelperSocket, OnlyRootGetsInWhenTheGroupIsUnknown) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a client as another user";
    Start();  // no group
    EXPECT_EQ(ChildClient(kNobody, {kHelperGroup}, Frame(test::PciRead(0x8000'0000)), true), 0);
    WireClient root(path_);
    EXPECT_TRUE(root.Exchange(test::PciRead(0x8000'0000)).has_value());
}

TEST_F(HelperSocket, StopEndsTheLoopCleanly) {
    Start();
    WireClient client(path_);
    ASSERT_TRUE(client.Exchange(test::PciRead(0x8000'0000)).has_value());
    helper_.Stop();
    EXPECT_TRUE(helper_.served);
    EXPECT_TRUE(client.ClosedByHelper());
}

TEST(HelperListen, ReplacesAStaleSocketButNoOtherFile) {
    const std::string dir = TempDir();
    const std::string path = dir + "/helper.sock";
    std::string why;
    const int first = ListenOn(path, std::nullopt, why);
    ASSERT_GE(first, 0) << why;
    ::close(first);
    const int second = ListenOn(path, std::nullopt, why);
    EXPECT_GE(second, 0) << why;
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0660u);
    ::close(second);

    const std::string file = dir + "/not-a-socket";
    std::ofstream(file) << "keep";
    EXPECT_EQ(ListenOn(file, std::nullopt, why), -1);
    EXPECT_EQ(why, file + " exists and is no socket");
    EXPECT_TRUE(fs::exists(file));
    fs::remove_all(dir);
}

TEST(HelperListen, SystemdSocketIsTakenOnlyWhenItIsOurs) {
    std::string why;
    ::unsetenv("LISTEN_PID");
    ::unsetenv("LISTEN_FDS");
    EXPECT_EQ(SystemdSocket(why), -1);
    ::setenv("LISTEN_PID", std::to_string(::getpid() + 1).c_str(), 1);
    ::setenv("LISTEN_FDS", "1", 1);
    EXPECT_EQ(SystemdSocket(why), -1);
    EXPECT_EQ(why, "LISTEN_PID names another process");
    ::setenv("LISTEN_PID", std::to_string(::getpid()).c_str(), 1);
    ::setenv("LISTEN_FDS", "2", 1);
    EXPECT_EQ(SystemdSocket(why), -1);
    EXPECT_EQ(why, "LISTEN_FDS=2, one socket expected");
    ::unsetenv("LISTEN_PID");
    ::unsetenv("LISTEN_FDS");
}

// The program itself: it starts on a socket of its own, refuses what it
// does not serve (touching no hardware), and ends on SIGTERM.
TEST(HelperProgram, ServesInTheForegroundAndEndsCleanlyOnSigterm) {
    if (::geteuid() != 0) GTEST_SKIP() << "the helper runs as root only";
    const std::string dir = TempDir();
    const std::string socket = dir + "/helper.sock";
    const std::string logFile = dir + "/stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string program = VC_DRIVERD_PATH;
    std::vector<std::string> args = {program, "--socket", socket, "--group", "4242"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 100 && !fs::is_socket(socket); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    {
        WireClient client(socket);
        ASSERT_TRUE(client.connected());
        const auto answer = client.Exchange({0x12345678, {}, 0, {}});
        ASSERT_TRUE(answer.has_value());
        EXPECT_FALSE(answer->ok);
    }
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(socket));
    std::stringstream text;
    text << std::ifstream(logFile).rdbuf();
    EXPECT_NE(text.str().find("refused uid=0 code=0x12345678: unknown request code"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("velocore-driverd: stopped"), std::string::npos) << text.str();
    fs::remove_all(dir);
}

}  // namespace
}  // namespace vc::helper
