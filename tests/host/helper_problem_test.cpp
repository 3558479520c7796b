#include "host/helper_problem.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace vc::host {
namespace {

namespace fs = std::filesystem;

// This process's uid as the user "alice", and the helper's group as the
// group file has it: who is told to join, and who only to log in again.
TEST(HelperProblemTest, TheAdviceFollowsWhereTheUserStandsWithTheGroup) {
    const fs::path dir = fs::temp_directory_path() / ("vc-helper-problem-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const auto standing = [&](const std::string& primaryGid, const std::string& members) {
        std::ofstream(dir / "passwd") << "bob:x:" << ::getuid() + 1 << ":100::/home/bob:/bin/sh\nalice:x:"
                                      << ::getuid() << ":" << primaryGid << "::/home/alice:/bin/sh\n";
        std::ofstream(dir / "group") << "users:x:100:\nvelocore:x:4242:" << members << "\n";
        // No socket there: its group is the packaged one, by name.
        return StandingOf((dir / "none.sock").string(), (dir / "group").string(), (dir / "passwd").string());
    };
    const GroupStanding outside = standing("100", "bob");
    EXPECT_EQ(outside.user, "alice");
    EXPECT_EQ(outside.group, "velocore");
    EXPECT_FALSE(outside.listed);
    EXPECT_TRUE(standing("100", "bob,alice").listed);
    EXPECT_TRUE(standing("4242", "bob").listed);  // the primary group counts too
    fs::remove_all(dir);

    const std::string socket = "/run/velocore-driverd.sock";
    GroupStanding alice{"alice", "velocore", false, false};
    for (const HelperProblemKind kind : {HelperProblemKind::NotPermitted, HelperProblemKind::Refused}) {
        const std::string text = ExplainHelperProblem({kind, 0}, socket, alice);
        EXPECT_NE(text.find("run `sudo usermod -aG velocore alice`, then log out and in again"), std::string::npos)
            << text;
    }
    alice.listed = true;  // added since this login began
    const std::string relogin = ExplainHelperProblem({HelperProblemKind::NotPermitted, 0}, socket, alice);
    EXPECT_NE(relogin.find("log out and in again"), std::string::npos) << relogin;
    EXPECT_EQ(relogin.find("usermod"), std::string::npos) << relogin;
    EXPECT_EQ(ExplainHelperProblem(ConnectProblem(ECONNREFUSED), socket, alice).find("nobody listens on"), 0u);
    EXPECT_EQ(ExplainHelperProblem({}, socket, alice), "");
}

}  // namespace
}  // namespace vc::host
