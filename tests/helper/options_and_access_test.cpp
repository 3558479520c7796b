// The helper's command line, and who may talk to it.
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "helper/options.h"
#include "helper/peer_access.h"

namespace vc::helper {
namespace {

HelperOptions Parse(std::vector<std::string> args, std::string* error = nullptr) {
    HelperOptions options;
    std::string why;
    const bool ok = ParseHelperOptions(args, options, why);
    if (error != nullptr) *error = ok ? "" : why;
    return options;
}

TEST(HelperOptions, DefaultsToSystemdsSocketTheVelocoreGroupAndTheClockGenerator) {
    const HelperOptions o = Parse({});
    EXPECT_EQ(o.socketPath, "");
    EXPECT_EQ(o.group, "velocore");
    EXPECT_EQ(o.clockGenAddress7, 0x69);
}

TEST(HelperOptions, TakesSocketGroupAndATestAddress) {
    const HelperOptions o = Parse({"--socket", "/tmp/s", "--group", "wheel", "--clockgen-address", "0x50"});
    EXPECT_EQ(o.socketPath, "/tmp/s");
    EXPECT_EQ(o.group, "wheel");
    EXPECT_EQ(o.clockGenAddress7, 0x50);
    EXPECT_EQ(Parse({"--clockgen-address", "80"}).clockGenAddress7, 80);
}

TEST(HelperOptions, RefusesWhatIsNoSevenBitDeviceAddress) {
    for (const char* bad : {"0xD2", "0x78", "0x02", "0x", "x50", "0x5G", "-1", ""}) {
        std::string error;
        Parse({"--clockgen-address", bad}, &error);
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(HelperOptions, RefusesUnknownOptionsAndMissingValues) {
    std::string error;
    Parse({"--port", "0x700"}, &error);
    EXPECT_EQ(error, "unknown option --port");
    Parse({"--socket"}, &error);
    EXPECT_EQ(error, "--socket needs a value");
}

class GroupFile : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/vc-group-XXXXXX";
        dir_ = ::mkdtemp(name);
        path_ = dir_ + "/group";
        std::ofstream(path_) << "root:x:0:\nvelocore-old:x:901:\nvelocore:x:900:user,other\nbroken\nnogid:x::\n";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string dir_, path_;
};

TEST_F(GroupFile, FindsAGroupByExactNameOrNumber) {
    EXPECT_EQ(GroupId("velocore", path_), std::optional<gid_t>(900));
    EXPECT_EQ(GroupId("velocore-old", path_), std::optional<gid_t>(901));
    EXPECT_EQ(GroupId("4242", path_), std::optional<gid_t>(4242));
    EXPECT_EQ(GroupId("velo", path_), std::nullopt);
    EXPECT_EQ(GroupId("nogid", path_), std::nullopt);
    EXPECT_EQ(GroupId("velocore", dir_ + "/missing"), std::nullopt);
}

// The groups are the ones the kernel recorded for the peer at connect.
TEST(PeerAccess, SupplementaryGroupsComeFromTheSocket) {
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    const auto peer = PeerOf(pair[0]);
    ::close(pair[0]);
    ::close(pair[1]);
    ASSERT_TRUE(peer.has_value());
    std::vector<gid_t> own(static_cast<size_t>(::getgroups(0, nullptr)));
    own.resize(static_cast<size_t>(::getgroups(static_cast<int>(own.size()), own.data())));
    auto seen = peer->groups;
    std::sort(own.begin(), own.end());
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, own);
    EXPECT_EQ(peer->pid, ::getpid());
    EXPECT_EQ(peer->uid, ::getuid());
}

TEST(PeerAccess, RootAndMembersOnly) {
    EXPECT_TRUE(PeerAllowed({1, 0, 0, {}}, std::nullopt));
    EXPECT_TRUE(PeerAllowed({1, 1000, 900, {}}, 900));
    EXPECT_TRUE(PeerAllowed({1, 1000, 1000, {24, 900}}, 900));
    EXPECT_FALSE(PeerAllowed({1, 1000, 1000, {24, 27}}, 900));
    EXPECT_FALSE(PeerAllowed({1, 1000, 900, {900}}, std::nullopt));
}

}  // namespace
}  // namespace vc::helper
