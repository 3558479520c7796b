// A write on the controller's own ports: idle before, idle after, the
// auxiliary control of the byte-by-byte controller set aside for the
// transfer, and the read-only probe. On simulated and scripted ports only.
#include "core/hw/smbus_port_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>

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
    const SmbusTarget target{0x0600, 0xD2, 0xD3, 0};
    ASSERT_TRUE(RunSmbusWrite(bare, SmbusVariant::BlockByteWise, target, kSelect, StartChecks::StatusAfterStart));

    test::SimChip wrapped("generic", 0);
    test::SimPorts ports(2, 0x0600, wrapped.chip, wrapped.trace);
    ASSERT_EQ(RunPortWrite(ports, 2, SmbusVariant::BlockByteWise, target, kSelect), PortTransfer::Done);

    // Before: the status read and cleared, the auxiliary control looked at.
    // After: the status cleared (which finishes a byte-by-byte block), read
    // once the wire is quiet, and cleared. No other register, and never the
    // block data, outside the sequence.
    std::vector<std::string> expected = {"in +0", "out +0=0xFF", "in +13"};
    expected.insert(expected.end(), bare.ops.begin(), bare.ops.end());
    expected.insert(expected.end(), {"out +0=0xFF", "in +0", "out +0=0xFF"});
    EXPECT_EQ(ports.ops, expected);
    EXPECT_EQ(ports.Status(), 0);
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
    EXPECT_EQ(tail, (std::vector<std::string>{"out +2=0x02", "wait", "out +2=0x00", "out +0=0xFF"}));
}

TEST(PortProbe, AReceiveByteReadTellsWhetherTheDeviceAcknowledges) {
    ScriptedPorts answering({0x00, smbus::kStatusDone});
    EXPECT_EQ(PortDeviceAnswers(answering, ScriptedPorts::kBase, 0x69), std::optional<bool>(true));
    // Address 0x69 with the read bit; receive byte; nothing else is written.
    EXPECT_EQ(Without(Without(answering.ops, "wait"), "in +0"),
              (std::vector<std::string>{"out +0=0xFF", "out +4=0xD3", "out +2=0x44", "out +0=0xFF", "out +0=0xFF"}));

    ScriptedPorts silent({0x00, smbus::kStatusDeviceError});
    EXPECT_EQ(PortDeviceAnswers(silent, ScriptedPorts::kBase, 0x69), std::optional<bool>(false));
    ScriptedPorts refused({0x00, smbus::kStatusFailed});
    EXPECT_EQ(PortDeviceAnswers(refused, ScriptedPorts::kBase, 0x69), std::nullopt);
    ScriptedPorts busy({smbus::kStatusBusy});
    EXPECT_EQ(PortDeviceAnswers(busy, ScriptedPorts::kBase, 0x69), std::nullopt);
    EXPECT_TRUE(Without(Without(busy.ops, "wait"), "in +0").empty());
}

}  // namespace
}  // namespace vc::helper
