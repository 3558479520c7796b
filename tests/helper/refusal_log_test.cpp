// Refusal lines per uid: a burst, then a count of what was held back once
// that uid's window has ended; other uids keep their own share.
#include "helper/refusal_log.h"

#include <gtest/gtest.h>

namespace vc::helper {
namespace {

using namespace std::chrono_literals;

TEST(RefusalLog, ABurstPerUidThenOneSummaryLine) {
    std::vector<std::string> lines;
    RefusalLog::Clock::time_point now{};
    RefusalLog refusals([&](const std::string& line) { lines.push_back(line); }, 2, 1000ms, [&] { return now; });
    for (int i = 0; i < 50; ++i) refusals.Refused(1000, "refused uid=1000 #" + std::to_string(i));
    refusals.Refused(1001, "refused uid=1001");
    refusals.Flush();  // the window is still open
    EXPECT_EQ(lines, (std::vector<std::string>{"refused uid=1000 #0", "refused uid=1000 #1", "refused uid=1001"}));

    now += 1000ms;
    refusals.Flush();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], "uid=1000: 48 more lines in 1000 ms not logged");
    refusals.Refused(1000, "refused uid=1000 again");
    EXPECT_EQ(lines.back(), "refused uid=1000 again");
}

}  // namespace
}  // namespace vc::helper
