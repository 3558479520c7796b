// The clock-chip engine: where each model takes its select from, what it
// needs first, and the rejected-select rule.
#include <gtest/gtest.h>

#include <ostream>

#include "sim/clock_chip.h"
#include "sim_fixtures.h"

namespace vc::sim {
namespace {

// A chip on its own, powered on at 100 MHz. The generic chip takes `mask`
// and `entries`; the other models bring their own table.
struct Harness {
    explicit Harness(const std::string& model, int32_t mask = 0,
                     std::vector<ClockEntry> entries = test::SmallTable())
        : chip(*FindChipModel(model), model, 100.0, trace, [this](double mhz) { busMHz = mhz; },
               StatedTable{mask, std::move(entries)}) {}

    void Block(uint8_t command, std::vector<uint8_t> bytes) {
        chip.BeginBlockWrite(command, static_cast<uint8_t>(bytes.size()));
        for (uint8_t b : bytes) chip.BlockWriteByte(b);
        chip.EndBlockWrite(true);
    }
    void Arm() {
        chip.WordWrite(0x1F, 0x00, 0x02);
        chip.WordWrite(0x10, 0x00, 0x49);
    }

    Trace trace;
    double busMHz = 0.0;
    ClockChip chip;
};

std::vector<uint8_t> Seven(uint8_t first, uint8_t sixth) { return {first, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, sixth}; }

struct SelectCase {
    const char* what;
    const char* model;
    std::vector<uint8_t> block;
    double expectedMHz;  // 0: no change
    size_t rejected;
};

void PrintTo(const SelectCase& c, std::ostream* os) { *os << c.what << " (" << c.model << ")"; }

class SelectPosition : public ::testing::TestWithParam<SelectCase> {};

TEST_P(SelectPosition, DecidesTheBusClock) {
    const auto& c = GetParam();
    Harness h(c.model);
    h.Block(0x00, c.block);
    EXPECT_DOUBLE_EQ(c.expectedMHz, h.busMHz) << c.what;
    EXPECT_EQ(c.rejected, h.chip.rejected().size()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Models, SelectPosition,
    ::testing::Values(
        SelectCase{"generic: byte 0", "generic", {0x20}, 112.0, 0},
        SelectCase{"generic: byte 0 of a longer block", "generic", {0x30, 0x20, 0x20}, 133.0, 0},
        SelectCase{"generic: unknown byte", "generic", {0x21}, 0.0, 1},
        SelectCase{"ICS: byte 6 of a full block", "ICS9248-153", Seven(0x00, 0x30), 110.0, 0},
        SelectCase{"ICS: byte 0 of a full block is not the select", "ICS9248-153", Seven(0x30, 0x99), 0.0, 1},
        SelectCase{"ICS: one-byte block", "ICS9248-153", {0x20}, 103.0, 0},
        SelectCase{"RTM: select without preparation", "RTM560-25", {0x0C}, 0.0, 1},
        SelectCase{"RTM: 17-byte block only fills registers", "RTM560-25",
                   std::vector<uint8_t>(17, 0x20), 0.0, 0}));

TEST(ChipSelect, MaskedSelectBytesMatchAndUnmaskedOnesDoNot) {
    Harness h("generic", 0x08, {{100.0, 33.3, 100.0, 20, 0x10}, {112.0, 37.3, 112.0, 20, 0x7720}});
    h.Block(0x00, {0x20});  // the entry wants 0x28 on the wire
    EXPECT_DOUBLE_EQ(0.0, h.busMHz);
    h.Block(0x00, {0x28});  // upper bytes of chipValue play no part
    EXPECT_DOUBLE_EQ(112.0, h.busMHz);
    ASSERT_EQ(1U, h.chip.rejected().size());
    EXPECT_EQ(0x20, h.chip.rejected()[0].value);
    EXPECT_EQ("no table entry", h.chip.rejected()[0].reason);
}

TEST(ChipSelect, TwoEntriesWithOneByteTakeTheFirst) {
    Harness h("generic", 0, {{103.0, 34.3, 103.0, 20, 0x10}, {105.0, 35.0, 105.0, 20, 0x10}});
    h.Block(0x00, {0x10});
    EXPECT_DOUBLE_EQ(103.0, h.busMHz);
}

TEST(Rtm560, SelectCountsAfterGuardRegisterAndBothWordWrites) {
    Harness h("RTM560-25");
    std::vector<uint8_t> block(17, 0x00);
    block[16] = 0x4B;
    h.Block(0x00, block);
    h.Arm();
    h.Block(0x00, {0x0C});
    EXPECT_DOUBLE_EQ(133.3, h.busMHz);
    EXPECT_TRUE(h.chip.rejected().empty());
}

struct RtmCase {
    const char* what;
    uint8_t guard;
    std::vector<WordWriteStep> words;
    uint8_t command;
    const char* reason;  // nullptr: the select is not even looked at
};

void PrintTo(const RtmCase& c, std::ostream* os) { *os << c.what; }

class Rtm560Refusals : public ::testing::TestWithParam<RtmCase> {};

TEST_P(Rtm560Refusals, LeaveTheClock) {
    const auto& c = GetParam();
    Harness h("RTM560-25");
    std::vector<uint8_t> block(17, 0x00);
    block[16] = c.guard;
    h.Block(0x00, block);
    for (const auto& w : c.words) h.chip.WordWrite(w.command, w.low, w.high);
    h.Block(c.command, {0x0C});  // an entry of the chip's table
    EXPECT_DOUBLE_EQ(0.0, h.busMHz) << c.what;
    if (c.reason == nullptr) {
        EXPECT_TRUE(h.chip.rejected().empty()) << c.what;
    } else {
        ASSERT_EQ(1U, h.chip.rejected().size()) << c.what;
        EXPECT_EQ(c.reason, h.chip.rejected()[0].reason) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rtm560Refusals,
    ::testing::Values(
        RtmCase{"guard left at 0x0B", 0x0B, {{0x1F, 0x00, 0x02}, {0x10, 0x00, 0x49}}, 0x00, "guard register not set"},
        RtmCase{"words in the wrong order", 0x4B, {{0x10, 0x00, 0x49}, {0x1F, 0x00, 0x02}}, 0x00, "word writes missing"},
        RtmCase{"wrong data in the second word", 0x4B, {{0x1F, 0x00, 0x02}, {0x10, 0x00, 0x48}}, 0x00, "word writes missing"},
        RtmCase{"only the first word", 0x4B, {{0x1F, 0x00, 0x02}}, 0x00, "word writes missing"},
        RtmCase{"select with command 0x01", 0x4B, {{0x1F, 0x00, 0x02}, {0x10, 0x00, 0x49}}, 0x01, nullptr}));

TEST(Rtm560, EverySelectNeedsItsOwnWordWrites) {
    Harness h("RTM560-25");
    std::vector<uint8_t> block(17, 0x00);
    block[16] = 0x4B;
    h.Block(0x00, block);
    h.Arm();
    h.Block(0x00, {0x0A});
    h.Block(0x00, {0x0C});
    EXPECT_DOUBLE_EQ(120.0, h.busMHz);
    ASSERT_EQ(1U, h.chip.rejected().size());
    EXPECT_EQ(0x0C, h.chip.rejected()[0].value);
}

TEST(ChipReadBack, LengthFollowsTheModel) {
    EXPECT_EQ(8U, Harness("generic").chip.BlockRead(0).size());
    EXPECT_EQ(7U, Harness("ICS9248-153").chip.BlockRead(0).size());
    EXPECT_EQ(17U, Harness("RTM560-25").chip.BlockRead(0).size());
}

TEST(ChipReadBack, ShowsWhatWasWritten) {
    Harness h("ICS9248-153");
    h.Block(0x00, Seven(0x11, 0x20));
    const auto back = h.chip.BlockRead(0);
    EXPECT_EQ(Seven(0x11, 0x20), back);
}

TEST(ChipTrace, AcceptedAndRejectedSelectsAreTraced) {
    Harness h("generic");
    h.Block(0x00, {0x20});
    h.Block(0x00, {0x44});
    const auto lines = h.trace.Lines();
    ASSERT_EQ(2U, lines.size());
    EXPECT_EQ("chip generic select 0x20 accepted bus=112.00MHz", lines[0]);
    EXPECT_EQ("chip generic select 0x44 rejected (no table entry)", lines[1]);
}

}  // namespace
}  // namespace vc::sim
