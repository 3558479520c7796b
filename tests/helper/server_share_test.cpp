// The member slots shared among uids, and the log kept short, over the
// helper's real socket (nothing here reaches real hardware).
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/base/little_endian.h"
#include "helper/requests.h"
#include "helper/running_helper.h"
#include "helper/wire_client.h"

namespace vc::helper {
namespace {

constexpr gid_t kGroup = 4242;

// A child of `uid` in the group holding `count` connections until the
// parent writes a byte to `release`; how many it opened comes through
// `opened`.
pid_t Holder(const std::string& path, uid_t uid, int count, int opened, int release) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const gid_t groups[] = {kGroup};
    if (::setgroups(1, groups) != 0 || ::setgid(kGroup) != 0 || ::setuid(uid) != 0) ::_exit(10);
    char held = 0;
    for (int i = 0; i < count; ++i) held = static_cast<char>(held + (test::ConnectTo(path) >= 0 ? 1 : 0));
    if (::write(opened, &held, 1) != 1) ::_exit(11);
    char done = 0;
    [[maybe_unused]] const ssize_t ignored = ::read(release, &done, 1);
    ::_exit(0);
}

TEST(HelperShare, AUidHoldingNoneGetsInWhenOthersHoldEverySlot) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run clients as other users";
    test::RunningHelper helper;
    ServerConfig config;
    config.group = kGroup;
    config.maxClients = 4;
    config.maxPerUid = 2;
    std::string why;
    ASSERT_TRUE(helper.Start(config, why)) << why;
    ::chmod(helper.path.c_str(), 0666);
    int opened[2], release[2];
    ASSERT_EQ(::pipe(opened), 0);
    ASSERT_EQ(::pipe(release), 0);
    std::vector<pid_t> holders;
    for (const uid_t uid : {65000u, 65001u}) {
        holders.push_back(Holder(helper.path, uid, 2, opened[1], release[0]));
        char held = 0;
        ASSERT_EQ(::read(opened[0], &held, 1), 1);
        EXPECT_EQ(held, 2);
    }
    // Accepted in the helper's next round.
    ::usleep(200'000);
    const pid_t newcomer = ::fork();
    if (newcomer == 0) {
        const gid_t groups[] = {kGroup};
        if (::setgroups(1, groups) != 0 || ::setgid(kGroup) != 0 || ::setuid(65002) != 0) ::_exit(10);
        test::WireClient member(helper.path);
        const auto answer = member.Exchange(test::PciRead(0x8000'0000));
        ::_exit(answer && answer->ok ? 0 : 12);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(newcomer, &status, 0), newcomer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(helper.log.Has("for uid 65002 (holding 0): all 4 member slots were taken, 2 by this uid"));
    for (const pid_t pid : holders) {
        ASSERT_EQ(::write(release[1], "x", 1), 1);
        ::waitpid(pid, &status, 0);
    }
    ::close(release[1]);
    for (const int fd : {opened[0], opened[1], release[0]}) ::close(fd);
}

TEST(HelperShare, AFloodOfMalformedHeadersLogsNoMoreThanTheLimit) {
    test::RunningHelper helper;
    RefusalLog refusals(helper.log.Sink(), 5, std::chrono::seconds(10));
    ServerConfig config;
    config.refusals = &refusals;
    std::string why;
    ASSERT_TRUE(helper.Start(config, why)) << why;
    std::vector<uint8_t> header(kWireHeaderSize, 0);
    PutLe32(header, 4, 0xFFFF'FFFF);  // an input length over the limit
    int closed = 0;
    for (int i = 0; i < 200; ++i) {
        const int fd = test::ConnectTo(helper.path);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::send(fd, header.data(), header.size(), MSG_NOSIGNAL), static_cast<ssize_t>(header.size()));
        char byte = 0;
        closed += ::recv(fd, &byte, 1, 0) <= 0 ? 1 : 0;
        ::close(fd);
    }
    helper.Stop();
    EXPECT_EQ(closed, 200);
    EXPECT_EQ(helper.log.Lines().size(), 5u);
    EXPECT_TRUE(helper.log.Has("malformed request"));
}

}  // namespace
}  // namespace vc::helper
