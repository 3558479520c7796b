// A write on the controller's own ports: idle before, idle after, the
// auxiliary control of the byte-by-byte controller set aside for the
// transfer, and the read-only probe. On simulated and scripted ports only.
#include "core/hw/smbus_port_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "core/hw/smbus_registers.h"
#include "helper/sim_bus.h"
#include "core/base/hex_text.h"

namespace vc::helper {
namespace {

// Ports whose status register reads the scripted values in turn (the last
// one for ever after); every other register reads 0.
class ScriptedPorts final : public SmbusPorts {
public:
    explicit ScriptedPorts(std::vector<uint8_t> statuses) : statuses_(std::move(statuses)) {}

    uint8_t In(uint16_t port) override {
        const auto reg = static_cast<uint16_t>(port - kBase);
        ops.push_back("in +" + std::to_string(reg));
        if (reg != smbus::kStatus) return 0;
        const uint8_t value = statuses_[std::min(next_, statuses_.size() - 1)];
        ++next_;
        return value;
    }
    void Out(uint16_t port, uint8_t value) override {
        ops.push_back("out +" + std::to_string(port - kBase) + "=" + HexText(value, 2));
    }
    void Wait() override { ops.push_back("wait"); }

    static constexpr uint16_t kBase = 0x0700;
    std::vector<std::string> ops;

private:
    std::vector<uint8_t> statuses_;
    size_t next_ = 0;
};

std::vector<std::string> Without(std::vector<std::string> ops, const std::string& op) {
    ops.erase(std::remove(ops.begin(), ops.end(), op), ops.end());
    return ops;
}

const SmbusTarget kTarget{ScriptedPorts::kBase, 0xD2, 0xD3, 0x00};
const std::vector<uint8_t> kSelect{0x20};

TEST(PortWrite, ABusyControllerIsLeftAlone) {
    ScriptedPorts ports({smbus::kStatusBusy});
    const PortTransfer result = RunPortWrite(ports, 1, SmbusVariant::BlockBuffered, kTarget, kSelect);
    EXPECT_EQ(result, PortTransfer::Busy);
    EXPECT_STREQ(PortTransferText(result), "the controller stays busy");
    EXPECT_EQ(Without(Without(ports.ops, "in +0"), "wait"), std::vector<std::string>{});
}

TEST(PortWrite, TheSequenceRunsBetweenClaimAndRelease) {
    // The same write twice on the simulator: alone, and wrapped.
    test::SimChip alone("generic", 0);
    test::SimPorts bare(2, 0x0600, alone.chip, alone.trace);
    SmbusTarget target{0x0600, 0xD2, 0xD3, 0};
    // Inside the transfer the sequence clears the completion and error bits
    // (and BYTE_DONE) only, never the semaphore.
    SmbusTarget flagsOnly = target;
    flagsOnly.statusClear = 0x9E;
    ASSERT_TRUE(RunSmbusWrite(bare, SmbusVariant::BlockByteWise, flagsOnly, kSelect, StartChecks::StatusAfterStart));

    test::SimChip wrapped("generic", 0);
    test::SimPorts ports(2, 0x0600, wrapped.chip, wrapped.trace);
    ASSERT_EQ(RunPortWrite(ports, 2, SmbusVariant::BlockByteWise, target, kSelect), PortTransfer::Done);

    // Before: the status read (which takes the semaphore) and its flags
    // cleared, the auxiliary control looked at. After: the flags cleared
    // (which finishes a byte-by-byte block), the status read once the wire
    // is quiet, and the flags cleared with the semaphore handed back. No
    // other register, and never the block data, outside the sequence.
    std::vector<std::string> expected = {"in +0", "out +0=0x9E", "in +13"};
    expected.insert(expected.end(), bare.ops.begin(), bare.ops.end());
    expected.insert(expected.end(), {"out +0=0x9E", "in +0", "out +0=0xDE"});
    EXPECT_EQ(ports.ops, expected);
    EXPECT_EQ(ports.Status(), 0);
    EXPECT_FALSE(ports.controller().SemaphoreHeld());
    EXPECT_DOUBLE_EQ(wrapped.busMHz, 112.0);
}

TEST(PortWrite, TheByteByByteSequenceRunsWithoutBufferOrPacketErrorCode) {
    test::SimChip sim("generic", 0);
    test::SimPorts ports(2, 0x0600, sim.chip, sim.trace);
    ports.aux = 0x03;
    const SmbusTarget target{0x0600, 0xD2, 0xD3, 0};
    ASSERT_EQ(RunPortWrite(ports, 2, SmbusVariant::BlockByteWise, target, kSelect), PortTransfer::Done);
    const auto cleared = std::find(ports.ops.begin(), ports.ops.end(), "out +13=0x00");
    const auto firstData = std::find_if(ports.ops.begin(), ports.ops.end(),
                                        [](const std::string& op) { return op.rfind("out +7=", 0) == 0; });
    ASSERT_NE(cleared, ports.ops.end());
    EXPECT_LT(cleared, firstData);
    EXPECT_EQ(ports.ops.back(), "out +13=0x03");
    EXPECT_EQ(ports.aux, 0x03);
}

TEST(PortWrite, TheBlockBufferControllerHasNoAuxiliaryControlToTouch) {
    test::SimChip sim("generic", 0);
    test::SimPorts ports(1, 0x0600, sim.chip, sim.trace);
    const SmbusTarget target{0x0600, 0xD2, 0xD3, 0};
    ASSERT_EQ(RunPortWrite(ports, 1, SmbusVariant::BlockBuffered, target, kSelect), PortTransfer::Done);
    EXPECT_EQ(std::count_if(ports.ops.begin(), ports.ops.end(),
                            [](const std::string& op) { return op.find("+13") != std::string::npos; }),
              0);
}

TEST(PortWrite, ATransferThatHangsIsStoppedAndTheStatusCleared) {
    // Idle at first, then busy for ever.
    ScriptedPorts ports({0x00, smbus::kStatusBusy});
    EXPECT_EQ(RunPortWrite(ports, 1, SmbusVariant::BlockBuffered, kTarget, kSelect), PortTransfer::Failed);
    const std::vector<std::string> tail(ports.ops.end() - 4, ports.ops.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"out +2=0x02", "wait", "out +2=0x00", "out +0=0x1E"}));
}

// The ICH's semaphore: firmware holds it for longer than the claim waits, so
// nothing but status reads happens and the semaphore stays firmware's; once
// firmware lets go the same write goes through and gives it back.
TEST(PortWrite, AnIchWhoseSemaphoreFirmwareHoldsIsLeftAlone) {
    test::SimChip sim("generic", 0);
    test::SimPorts ports(2, 0x0600, sim.chip, sim.trace);
    ports.controller().HoldSemaphore(true);
    const SmbusTarget target{0x0600, 0xD2, 0xD3, 0};
    EXPECT_EQ(RunPortWrite(ports, 2, SmbusVariant::BlockByteWise, target, kSelect), PortTransfer::Busy);
    EXPECT_TRUE(Without(Without(ports.ops, "in +0"), "wait").empty()) << ::testing::PrintToString(ports.ops);
    EXPECT_TRUE(ports.controller().SemaphoreHeld());
    EXPECT_TRUE(sim.trace.Transactions().empty());

    ports.controller().HoldSemaphore(false);
    ports.ops.clear();
    EXPECT_EQ(RunPortWrite(ports, 2, SmbusVariant::BlockByteWise, target, kSelect), PortTransfer::Done);
    EXPECT_DOUBLE_EQ(sim.busMHz, 112.0);
    EXPECT_FALSE(ports.controller().SemaphoreHeld());
}

// Firmware lets go while the claim waits: the transfer takes the semaphore
// then. A claim that took it but finds the controller busy to the end hands
// it back.
TEST(PortWrite, TheClaimWaitsForTheSemaphoreAndGivesBackWhatItTook) {
    const uint8_t inUse = smbus::kStatusInUse;
    ScriptedPorts released({inUse, inUse, 0x00});
    EXPECT_EQ(PortDeviceAnswers(released, 2, ScriptedPorts::kBase, 0x69), std::nullopt);  // scripted: no outcome
    const auto firstWrite = std::find_if(released.ops.begin(), released.ops.end(),
                                         [](const std::string& op) { return op.rfind("out", 0) == 0; });
    ASSERT_NE(firstWrite, released.ops.end());
    EXPECT_EQ(*firstWrite, "out +0=0x9E");
    EXPECT_EQ(std::count(released.ops.begin(), firstWrite, "in +0"), 3);

    // Clear at the first read (taken) but busy, and busy from then on.
    ScriptedPorts stuck({smbus::kStatusBusy, smbus::kStatusBusy | inUse});
    EXPECT_EQ(RunPortWrite(stuck, 2, SmbusVariant::BlockByteWise, kTarget, kSelect), PortTransfer::Busy);
    EXPECT_EQ(Without(Without(stuck.ops, "in +0"), "wait"), std::vector<std::string>{"out +0=0x40"});
}

// The PIIX4's status bits 5-7 are reserved: a whole write on the
// block-buffer controller never sets one.
TEST(PortWrite, ThePiix4sReservedStatusBitsAreWrittenZero) {
    test::SimChip sim("generic", 0);
    test::SimPorts ports(1, 0x0600, sim.chip, sim.trace);
    const SmbusTarget target{0x0600, 0xD2, 0xD3, 0};
    ASSERT_EQ(RunPortWrite(ports, 1, SmbusVariant::BlockBuffered, target, kSelect), PortTransfer::Done);
    std::array<uint8_t, 32> block{};
    EXPECT_GT(PortBlockRead(ports, 1, 0x0600, 0x69, block), 0);
    EXPECT_EQ(PortDeviceAnswers(ports, 1, 0x0600, 0x69), std::optional<bool>(true));
    EXPECT_EQ(ports.controller().ReservedStatusWrites(), 0);
    EXPECT_DOUBLE_EQ(sim.busMHz, 112.0);
}

TEST(PortProbe, AReceiveByteReadTellsWhetherTheDeviceAcknowledges) {
    ScriptedPorts answering({0x00, smbus::kStatusDone});
    EXPECT_EQ(PortDeviceAnswers(answering, 1, ScriptedPorts::kBase, 0x69), std::optional<bool>(true));
    // Address 0x69 with the read bit; receive byte; nothing else is written.
    EXPECT_EQ(Without(Without(answering.ops, "wait"), "in +0"),
              (std::vector<std::string>{"out +0=0x1E", "out +4=0xD3", "out +2=0x44", "out +0=0x1E", "out +0=0x1E"}));

    ScriptedPorts silent({0x00, smbus::kStatusDeviceError});
    EXPECT_EQ(PortDeviceAnswers(silent, 1, ScriptedPorts::kBase, 0x69), std::optional<bool>(false));
    ScriptedPorts refused({0x00, smbus::kStatusFailed});
    EXPECT_EQ(PortDeviceAnswers(refused, 1, ScriptedPorts::kBase, 0x69), std::nullopt);
    ScriptedPorts busy({smbus::kStatusBusy});
    EXPECT_EQ(PortDeviceAnswers(busy, 1, ScriptedPorts::kBase, 0x69), std::nullopt);
    EXPECT_TRUE(Without(Without(busy.ops, "wait"), "in +0").empty());
}

}  // namespace
}  // namespace vc::helper
