// The write after a transfer that left the controller in an unknown state:
// the controller is reset first when idle (and only then), a write that
// sent nothing is sent once more, and one that may have sent bytes is not.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/hw/hw_driver.h"
#include "core/hw/smbus_access.h"
#include "core/hw/smbus_controller_reset.h"
#include "helper/fake_hardware.h"
#include "helper/request_handler.h"
#include "helper/requests.h"
#include "helper/wire_watch.h"

namespace vc::helper {
namespace {

constexpr uint16_t kBase = 0x0600;

// Registers as plain bytes; every write recorded as (offset, value).
class Registers final : public SmbusPorts {
public:
    std::map<uint16_t, uint8_t> value;
    std::vector<std::pair<uint16_t, uint8_t>> written;
    uint8_t In(uint16_t port) override { return value[static_cast<uint16_t>(port - kBase)]; }
    void Out(uint16_t port, uint8_t v) override {
        written.emplace_back(static_cast<uint16_t>(port - kBase), v);
        value[static_cast<uint16_t>(port - kBase)] = v;
    }
    void Wait() override {}
};

using Writes = std::vector<std::pair<uint16_t, uint8_t>>;

TEST(ControllerReset, AnIdleControllerIsStoppedAndItsStatusClearedWithTheKindsOwnBits) {
    Registers piix4;
    piix4.value[0] = 0x02;  // done, from the last transfer
    EXPECT_TRUE(ResetIdleController(piix4, kSmbusControllerBlockBuffer, kBase));
    EXPECT_EQ(piix4.written, (Writes{{2, 0x02}, {2, 0x00}, {0, 0x1E}}));  // kill, kill off, bits 1-4

    Registers ich;
    EXPECT_TRUE(ResetIdleController(ich, kSmbusControllerByteWise, kBase));
    EXPECT_EQ(ich.written, (Writes{{2, 0x02}, {2, 0x00}, {0, 0xDE}}));  // with byte-done and the semaphore
}

TEST(ControllerReset, ABusyControllerOrAHeldSemaphoreIsLeftAlone) {
    for (const auto& [kind, status] : {std::pair{kSmbusControllerBlockBuffer, 0x01}, {kSmbusControllerByteWise, 0x01},
                                       {kSmbusControllerByteWise, 0x40}}) {
        Registers regs;
        regs.value[0] = static_cast<uint8_t>(status);
        EXPECT_FALSE(ResetIdleController(regs, kind, kBase)) << kind << " " << status;
        EXPECT_TRUE(regs.written.empty());
    }
}

// A start to the write address, then the status the controller showed.
bool SentAfter(uint8_t address, uint8_t status) {
    Registers regs;
    WireWatch watch(regs, kBase);
    watch.Out(kBase + 4, address);
    watch.Out(kBase + 2, 0x54);
    regs.value[0] = 0x01;
    watch.In(kBase);  // still busy: not decided
    regs.value[0] = status;
    watch.In(kBase);
    return !watch.NothingSent();
}

TEST(WireWatch, OnlyANotAcknowledgedWriteAddressOrNoStartMeansNothingWentOut) {
    EXPECT_FALSE(SentAfter(0xD2, 0x04));  // no acknowledge
    EXPECT_TRUE(SentAfter(0xD2, 0x02));   // done
    EXPECT_TRUE(SentAfter(0xD2, 0x10));   // failed: bytes may have gone
    EXPECT_TRUE(SentAfter(0xD2, 0x80));   // byte by byte, the first byte taken
    EXPECT_FALSE(SentAfter(0xD3, 0x02));  // a read sends nothing to the chip

    Registers regs;
    WireWatch started(regs, kBase);
    started.Out(kBase + 4, 0xD2);
    started.Out(kBase + 2, 0x54);
    EXPECT_FALSE(started.NothingSent());  // started, outcome never seen
}

class WriteRetry : public ::testing::Test {
protected:
    bool Apply() {
        test::SmbusFields f;
        return handler.Handle(test::SmbusWrite(kReqNtSmbusBlockWrite, f, {0x12}), 1000).ok;
    }
    test::FakeHardware hw;
    test::LogLines log;
    RequestHandler handler{hw, log.Sink()};
};

TEST_F(WriteRetry, AWriteThatSentNothingGoesOnceMoreAndSaysSo) {
    hw.outcomes = {WriteOutcome::NotSent, WriteOutcome::Done};
    EXPECT_TRUE(Apply());
    ASSERT_EQ(hw.writes.size(), 2u);
    EXPECT_EQ(hw.writes[0].write.data, hw.writes[1].write.data);
    EXPECT_TRUE(log.Has("through /dev/i2c-0, nothing sent; again through /dev/i2c-0: done")) << log.Last();
}

TEST_F(WriteRetry, OnlyOnceAndNeverAfterBytesMayHaveGone) {
    hw.outcomes = {WriteOutcome::NotSent, WriteOutcome::NotSent, WriteOutcome::Done};
    EXPECT_FALSE(Apply());
    EXPECT_EQ(hw.writes.size(), 2u);
    EXPECT_TRUE(log.Last().ends_with(": failed")) << log.Last();

    hw.writes.clear();
    hw.outcomes = {WriteOutcome::Failed, WriteOutcome::Done};
    EXPECT_FALSE(Apply());
    EXPECT_EQ(hw.writes.size(), 1u);
}

}  // namespace
}  // namespace vc::helper
