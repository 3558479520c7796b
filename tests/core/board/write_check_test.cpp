// The read-back half of the check after a write: the select the chip
// reports against the select written, with the chip's mask ORed in as the
// write sequence sends it.
#include "core/board/write_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace vc {
namespace {

// A path that reaches hardware and reads back a fixed block.
class ReadBackPath final : public BusPath {
public:
    std::vector<uint8_t> block;

    BusResult OpenForBios() override { return {}; }
    bool BiosHolds(const TextField&) override { return false; }
    BusResult ReadConfigWord(int32_t, uint32_t&) override { return {}; }
    BusResult ReadPciConfig(uint32_t, uint32_t&) override { return {}; }
    BusResult WriteSmbus(SmbusVariant, const SmbusAccess&, std::span<const uint8_t>) override { return {}; }
    bool ReachesHardware() const override { return true; }
    std::optional<std::vector<uint8_t>> ReadClockGenBlock(const SmbusAccess&) override { return block; }
};

TEST(WriteCheck, AMaskedChipsReadBackMatchesTheSelectWithItsMask) {
    constexpr uint8_t kSelect = 0x28;
    constexpr uint8_t kMask = 0x80;
    SystemInfo info;
    auto chip = std::make_shared<ClockGenRecord>();
    chip->entryCount = 1;
    chip->firstByteMask = kMask;
    chip->entries = {ClockEntry{133.3, 33.3, 0.0, 30, kSelect}};
    info.board.clockGen = chip;
    info.appliedIndex = 1;
    std::snprintf(info.clockWriter.access.chipName, sizeof info.clockWriter.access.chipName, "ICS9248-153");
    info.clockWriter.access.controllerKind = kSmbusControllerByteWise;
    info.clockWriter.access.operation = kSmbusOperationBlockWrite;
    info.clockWriter.access.firstByteMask = kMask;
    auto path = std::make_shared<ReadBackPath>();
    info.busPath = path;

    // The ICS9248-153 keeps the select in byte 6 of its block.
    path->block = {0, 0, 0, 0, 0, 0, 0xA8};
    WriteCheck check = CheckAppliedEntry(info, WriteOutcome{1, true});
    EXPECT_TRUE(check.checked);
    EXPECT_TRUE(check.ok);
    EXPECT_EQ(check.expectedSelect, std::optional<uint8_t>(0xA8));

    path->block[6] = kSelect;  // the select without its mask: not what was sent
    check = CheckAppliedEntry(info, WriteOutcome{1, true});
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.readBackSelect, std::optional<uint8_t>(kSelect));
}

}  // namespace
}  // namespace vc
