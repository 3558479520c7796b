// Golden traces of what reaches the chip when the simulated NT driver does
// a write request's bus work, for each controller kind and chip.
#include <gtest/gtest.h>

#include <ostream>

#include "sim_fixtures.h"

namespace vc::sim {
namespace {

using test::Board;

struct GoldenCase {
    const char* what;
    int32_t smbusKind;
    const char* chip;
    uint32_t code;
    uint32_t mask;
    uint8_t select;
    double expectedMHz;
    std::vector<std::string> wire;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.what; }

class NtDriverGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(NtDriverGolden, PutsTheSequenceOnTheWire) {
    const auto& c = GetParam();
    MachineDescription d = Board(c.smbusKind, c.chip, 3);
    d.chip.firstByteMask = static_cast<int32_t>(c.mask);
    SimMachine m(d);
    std::vector<uint8_t> out(28);
    const auto base = d.board.smbusBase;
    ASSERT_TRUE(test::NtRequest(m, c.code, test::SmbusRequest(base, 1, static_cast<uint32_t>(c.smbusKind), c.mask),
                                out, {c.select}))
        << c.what;
    EXPECT_EQ(c.wire, test::WireLines(m)) << c.what;
    EXPECT_DOUBLE_EQ(c.expectedMHz, m.BusClockMHz()) << c.what;
}

// The board boots at 100 MHz, which the ICS9248-153's table lacks, so its
// select register still holds its power-on 0x00.
const std::vector<std::string> kIcsWire = {
    "smbus block-read addr=0xD3 cmd=0x00 count=7 bytes=[0x00 0xFF 0xFF 0xFF 0x7F 0xFF 0x00]",
    "smbus block-write addr=0xD2 cmd=0x00 count=7 bytes=[0x00 0xFF 0xFF 0xFF 0x7F 0xFF 0x38]",
    "chip ICS9248-153 select 0x38 accepted bus=112.00MHz",
    "smbus block-write addr=0xD2 cmd=0x00 count=7 bytes=[0x38 0x38] closed-early",
};

// Register 0 shows 0x02, the RTM560-25's 100 MHz entry the board booted with.
const std::vector<std::string> kRtmWire = {
    "smbus block-read addr=0xD3 cmd=0x00 count=17 bytes=[0x02 0x0F 0xFF 0xFF 0xFF 0xFF 0x00 0x00 "
    "0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x0B]",
    "smbus block-write addr=0xD2 cmd=0x00 count=17 bytes=[0x02 0x0F 0xFF 0xFF 0xFF 0xFF 0x00 0x00 "
    "0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x00 0x4B]",
    "smbus word-write addr=0xD2 cmd=0x1F bytes=[0x00 0x02]",
    "smbus word-write addr=0xD2 cmd=0x10 bytes=[0x00 0x49]",
    "smbus block-write addr=0xD2 cmd=0x00 count=1 bytes=[0x0C]",
    "chip RTM560-25 select 0x0C accepted bus=133.30MHz",
};

INSTANTIATE_TEST_SUITE_P(
    KindByChip, NtDriverGolden,
    ::testing::Values(
        GoldenCase{"kind 1, generic", 1, "generic", kReqNtSmbusBlockWrite, 0, 0x20, 112.0,
                   {"smbus block-write addr=0xD2 cmd=0x00 count=1 bytes=[0x20]",
                    "chip generic select 0x20 accepted bus=112.00MHz"}},
        GoldenCase{"kind 1, generic, mask 0x01 on both sides", 1, "generic",
                   kReqNtSmbusBlockWrite, 0x01, 0x20, 112.0,
                   {"smbus block-write addr=0xD2 cmd=0x00 count=1 bytes=[0x21]",
                    "chip generic select 0x21 accepted bus=112.00MHz"}},
        GoldenCase{"kind 1, ICS9248-153", 1, "ICS9248-153", kReqNtSmbusBlockWrite, 0, 0x58, 133.6,
                   {"smbus block-write addr=0xD2 cmd=0x00 count=1 bytes=[0x58]",
                    "chip ICS9248-153 select 0x58 accepted bus=133.60MHz"}},
        GoldenCase{"kind 1, RTM560-25 (never prepared)", 1, "RTM560-25", kReqNtSmbusBlockWrite, 0, 0x0C, 100.0,
                   {"smbus block-write addr=0xD2 cmd=0x00 count=1 bytes=[0x0C]",
                    "chip RTM560-25 select 0x0C rejected (word writes missing)"}},
        GoldenCase{"kind 2, generic", 2, "generic", kReqNtSmbusBlockWrite, 0, 0x30, 133.0,
                   {"smbus block-write addr=0xD2 cmd=0x00 count=1 bytes=[0x30]",
                    "chip generic select 0x30 accepted bus=133.00MHz"}},
        GoldenCase{"kind 2, ICS9248-153", 2, "ICS9248-153", kReqNtIcs9248, 0, 0x38, 112.0, kIcsWire},
        GoldenCase{"kind 2, RTM560-25", 2, "RTM560-25", kReqNtRtm560, 0, 0x0C, 133.3, kRtmWire}));

TEST(NtDriver, BlockWriteMasksOnlyTheFirstByte) {
    SimMachine m(Board(2, "generic", 3));
    std::vector<uint8_t> out(28);
    ASSERT_TRUE(test::NtRequest(m, kReqNtSmbusBlockWrite, test::SmbusRequest(0xEF00, 2, 2, 0x08), out,
                                {0x41, 0x41}));
    EXPECT_EQ((std::vector<uint8_t>{0x49, 0x41}), m.trace().Transactions().at(0).bytes);
}

TEST(NtDriver, PortWorkIsTracedAsTheDrivers) {
    SimMachine m(Board(1, "generic", 3));
    std::vector<uint8_t> out(28);
    ASSERT_TRUE(test::NtRequest(m, kReqNtSmbusBlockWrite, test::SmbusRequest(0x5000, 1, 1, 0), out, {0x20}));
    const auto ports = m.trace().PortAccesses();
    ASSERT_FALSE(ports.empty());
    for (const auto& p : ports) EXPECT_EQ(PortOrigin::Driver, p.origin);
    // The first look is at the status: an idle controller is reset first.
    EXPECT_EQ("driver port in 0x5000 -> 0x00", FormatEntry(ports.front()));
}

struct RefusedCase {
    const char* what;
    std::vector<uint8_t> request;
    std::vector<uint8_t> data;
    uint32_t code;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.what; }

class NtDriverRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(NtDriverRefuses, FailsWithoutChangingTheClock) {
    const auto& c = GetParam();
    SimMachine m(Board(2, "ICS9248-153", 2));
    std::vector<uint8_t> out(28);
    EXPECT_FALSE(test::NtRequest(m, c.code, c.request, out, c.data)) << c.what;
    EXPECT_DOUBLE_EQ(100.0, m.BusClockMHz()) << c.what;
}

std::vector<uint8_t> Short(std::vector<uint8_t> v) {
    v.resize(27);
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NtDriverRefuses,
    ::testing::Values(
        RefusedCase{"fewer data bytes than the count", test::SmbusRequest(0xEF00, 2, 2, 0), {0x20}, kReqNtSmbusBlockWrite},
        RefusedCase{"no data bytes", test::SmbusRequest(0xEF00, 1, 2, 0), {}, kReqNtIcs9248},
        RefusedCase{"count 0", test::SmbusRequest(0xEF00, 0, 2, 0), {0x20}, kReqNtSmbusBlockWrite},
        RefusedCase{"count 33", test::SmbusRequest(0xEF00, 33, 2, 0), std::vector<uint8_t>(33, 0x20), kReqNtSmbusBlockWrite},
        RefusedCase{"27-byte request", Short(test::SmbusRequest(0xEF00, 1, 2, 0)), {0x20}, kReqNtSmbusBlockWrite},
        RefusedCase{"operation 1", test::SmbusRequest(0xEF00, 1, 2, 0, 1), {0x20}, kReqNtSmbusBlockWrite},
        RefusedCase{"controller kind 3", test::SmbusRequest(0xEF00, 1, 3, 0), {0x20}, kReqNtSmbusBlockWrite},
        RefusedCase{"nothing at the base port", test::SmbusRequest(0x5000, 1, 2, 0), {0x20}, kReqNtSmbusBlockWrite},
        RefusedCase{"chip sequence, nothing at the base", test::SmbusRequest(0x0400, 1, 2, 0), {0x20}, kReqNtIcs9248}));

TEST(NtDriver, ShortReadBackWritesNothing) {
    // A generic chip answers 8 bytes, far fewer than the RTM560-25 block.
    SimMachine m(Board(2, "generic", 3));
    std::vector<uint8_t> out(28);
    EXPECT_FALSE(test::NtRequest(m, kReqNtRtm560, test::SmbusRequest(0xEF00, 1, 2, 0), out, {0x30}));
    const auto t = m.trace().Transactions();
    ASSERT_EQ(1U, t.size());
    EXPECT_EQ(SmbusProtocol::BlockRead, t[0].protocol);
    EXPECT_DOUBLE_EQ(100.0, m.BusClockMHz());
}

TEST(NtDriver, WaitsPassInSimulatedTime) {
    SimMachine m(Board(2, "ICS9248-153", 3));
    const uint64_t before = m.NowPs();
    std::vector<uint8_t> out(28);
    ASSERT_TRUE(test::NtRequest(m, kReqNtIcs9248, test::SmbusRequest(0xEF00, 1, 2, 0), out, {0x20}));
    // The idle controller's reset (1), read-back (5 + 7 waits), block (7),
    // repeat and close (3), and one poll after each of the two starts the
    // driver checks: 25 waits of 4 ms.
    EXPECT_EQ(25 * 4 * kPsPerMs, m.NowPs() - before);
}

}  // namespace
}  // namespace vc::sim
