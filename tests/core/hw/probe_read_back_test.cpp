#include <gtest/gtest.h>

#include "core/hw/hardware_findings.h"
#include "core/hw/probe_report.h"

namespace vc {
namespace {

// The clockgen lines each helper writes, from the oldest to today's, and
// what board-id takes from them for the controller at 0x0700.
TEST(ProbeReadBackTest, EachClockGenLineReadsAsWhatTheHelperSaw) {
    struct Case {
        const char* line;
        ReadBackOutcome outcome;
    };
    const Case cases[] = {
        {"clockgen controller=0x0700 address=0x69 answers=no\n", ReadBackOutcome::NoAnswer},
        {"clockgen controller=0x0700 address=0x69 answers=no readback=none\n", ReadBackOutcome::NoAnswer},
        {"clockgen controller=0x0700 address=0x69 answers=yes readback=none\n", ReadBackOutcome::NoReadBack},
        {"clockgen controller=0x0700 address=0x69 answers=unknown\n", ReadBackOutcome::NotAsked},
        // Helpers older than the read-back, and older than the answer.
        {"clockgen controller=0x0700 address=0x69 answers=yes\n", ReadBackOutcome::NotReported},
        {"clockgen controller=0x0700 address=0x69\n", ReadBackOutcome::NotReported},
        // A line for another controller says nothing of this one.
        {"clockgen controller=0x0600 address=0x69 answers=yes readback=00,ff\n", ReadBackOutcome::NotReported},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes;
        EXPECT_EQ(ReadBackInReport(ParseProbeReport(c.line), 0x0700, bytes), c.outcome) << c.line;
        EXPECT_TRUE(bytes.empty()) << c.line;
    }
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadBackInReport(ParseProbeReport("clockgen controller=0x0700 address=0x69 answers=yes readback=00,ff,6d\n"),
                               0x0700, bytes),
              ReadBackOutcome::Read);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x00, 0xFF, 0x6D}));
}

}  // namespace
}  // namespace vc
