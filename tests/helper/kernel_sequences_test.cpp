// The clock-generator writes through a kernel adapter: the transfers each
// sequence makes, and (with the simulator's chip models as the judge) that
// they program a chip as the port sequences do.
#include "helper/kernel_sequences.h"

#include <gtest/gtest.h>

#include "core/hw/smbus_port_transfer.h"
#include "helper/sim_bus.h"
#include "core/base/hex_text.h"

namespace vc::helper {
namespace {

class RecordingAdapter final : public I2cAdapter {
public:
    std::optional<std::vector<uint8_t>> readBack;
    size_t failAt = SIZE_MAX;  // the transfer that fails
    std::vector<std::string> ops;

    std::optional<std::vector<uint8_t>> ReadBlock(uint8_t command) override {
        ops.push_back("read-block cmd=" + HexText(command, 2));
        if (Fails()) return std::nullopt;
        return readBack;
    }
    bool WriteBlock(uint8_t command, std::span<const uint8_t> bytes) override {
        std::string text = "write-block cmd=" + HexText(command, 2) + " [";
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i != 0) text += ' ';
            text += HexText(bytes[i], 2);
        }
        ops.push_back(text + "]");
        return !Fails();
    }
    bool WriteWord(uint8_t command, uint16_t word) override {
        ops.push_back("write-word cmd=" + HexText(command, 2) + " " + HexText(word, 4));
        return !Fails();
    }

private:
    bool Fails() const { return ops.size() - 1 == failAt; }
};

std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

TEST(AdapterWrite, ABlockWriteCarriesTheBytesWithTheMaskInTheFirst) {
    for (const auto variant : {SmbusVariant::BlockBuffered, SmbusVariant::BlockByteWise}) {
        RecordingAdapter adapter;
        std::string why;
        EXPECT_TRUE(RunAdapterWrite(adapter, variant, 0x80, std::vector<uint8_t>{0x12, 0x34}, why));
        EXPECT_EQ(adapter.ops, (std::vector<std::string>{"write-block cmd=0x00 [0x92 0x34]"}));
    }
}

TEST(AdapterWrite, Ics9248PutsTheSelectIntoByteSixAndSendsTheBlockTwice) {
    RecordingAdapter adapter;
    adapter.readBack = Counting(8);  // one byte more than the chip's block
    std::string why;
    EXPECT_TRUE(RunAdapterWrite(adapter, SmbusVariant::Ics9248, 0x40, std::vector<uint8_t>{0x25}, why));
    const std::string block = "write-block cmd=0x00 [0x00 0x01 0x02 0x03 0x04 0x05 0x65]";
    EXPECT_EQ(adapter.ops, (std::vector<std::string>{"read-block cmd=0x00", block, block}));
}

TEST(AdapterWrite, Rtm560ArmsTheChipBeforeTheSelect) {
    RecordingAdapter adapter;
    adapter.readBack = Counting(17);
    std::string why;
    EXPECT_TRUE(RunAdapterWrite(adapter, SmbusVariant::Rtm560, 0x40, std::vector<uint8_t>{0x30}, why));
    EXPECT_EQ(adapter.ops, (std::vector<std::string>{
                               "read-block cmd=0x00",
                               "write-block cmd=0x00 [0x00 0x01 0x02 0x03 0x04 0x05 0x06 0x07 0x08 0x09 0x0A 0x0B "
                               "0x0C 0x0D 0x0E 0x0F 0x4B]",
                               "write-word cmd=0x1F 0x0200",
                               "write-word cmd=0x10 0x4900",
                               "write-block cmd=0x00 [0x70]",
                           }));
}

TEST(AdapterWrite, AShortOrMissingReadBackWritesNothing) {
    RecordingAdapter shortChip;
    shortChip.readBack = Counting(6);
    std::string why;
    EXPECT_FALSE(RunAdapterWrite(shortChip, SmbusVariant::Ics9248, 0, std::vector<uint8_t>{0x25}, why));
    EXPECT_EQ(shortChip.ops, (std::vector<std::string>{"read-block cmd=0x00"}));
    EXPECT_EQ(why, "the chip's block read-back answered 6 of 7 bytes");

    RecordingAdapter silent;
    silent.failAt = 0;
    EXPECT_FALSE(RunAdapterWrite(silent, SmbusVariant::Rtm560, 0, std::vector<uint8_t>{0x30}, why));
    EXPECT_EQ(silent.ops.size(), 1u);
    EXPECT_EQ(why, "the chip's block read-back failed");
}

TEST(AdapterWrite, AFailedTransferEndsTheSequence) {
    RecordingAdapter adapter;
    adapter.readBack = Counting(17);
    adapter.failAt = 2;  // the first word write
    std::string why;
    EXPECT_FALSE(RunAdapterWrite(adapter, SmbusVariant::Rtm560, 0, std::vector<uint8_t>{0x30}, why));
    EXPECT_EQ(adapter.ops.size(), 3u);
    EXPECT_EQ(why, "the word write to command 0x1F failed");
}

TEST(AdapterWrite, NoTransferForAnEmptyOrOverlongBlock) {
    RecordingAdapter adapter;
    std::string why;
    EXPECT_FALSE(RunAdapterWrite(adapter, SmbusVariant::BlockBuffered, 0, {}, why));
    EXPECT_FALSE(RunAdapterWrite(adapter, SmbusVariant::BlockBuffered, 0, std::vector<uint8_t>(33, 1), why));
    EXPECT_TRUE(adapter.ops.empty());
}

// Both ways of writing, judged by the simulator's chip models: the bus
// clock each one leads to, and what it leaves in the chip's registers.
struct BothWays {
    const char* chip;
    SmbusVariant variant;
    int32_t portKind;
    uint8_t mask;
    uint8_t select;
    double expectedMHz;
};

void PrintTo(const BothWays& c, std::ostream* os) { *os << c.chip << " kind " << c.portKind; }

class KernelAndPortWrites : public ::testing::TestWithParam<BothWays> {};

TEST_P(KernelAndPortWrites, ProgramTheChipAlike) {
    const BothWays& c = GetParam();
    const std::vector<uint8_t> data{c.select};

    test::SimChip throughKernel(c.chip, c.mask);
    test::SimChipAdapter adapter(throughKernel.chip);
    std::string why;
    ASSERT_TRUE(RunAdapterWrite(adapter, c.variant, c.mask, data, why)) << why;

    test::SimChip onPorts(c.chip, c.mask);
    test::SimPorts ports(c.portKind, 0x0600, onPorts.chip, onPorts.trace);
    const SmbusTarget target{0x0600, 0xD2, 0xD3, c.mask};
    ASSERT_EQ(RunPortWrite(ports, c.portKind, c.variant, target, data), PortTransfer::Done);

    EXPECT_DOUBLE_EQ(throughKernel.busMHz, c.expectedMHz);
    EXPECT_DOUBLE_EQ(onPorts.busMHz, c.expectedMHz);
    EXPECT_TRUE(throughKernel.chip.rejected().empty());
    EXPECT_TRUE(onPorts.chip.rejected().empty());
    auto kernelRegisters = throughKernel.chip.registers();
    auto portRegisters = onPorts.chip.registers();
    if (c.variant == SmbusVariant::Ics9248) {
        // On ports the repeated transfer is cut short after the select has
        // gone into bytes 0 and 1; through the kernel the whole block goes
        // again and bytes 0 and 1 keep what the chip read back.
        EXPECT_EQ(portRegisters[0], static_cast<uint8_t>(c.select | c.mask));
        EXPECT_EQ(kernelRegisters[0], sim::FindChipModel(c.chip)->powerOnRegisters[0]);
        kernelRegisters[0] = kernelRegisters[1] = portRegisters[0] = portRegisters[1] = 0;
    }
    EXPECT_EQ(kernelRegisters, portRegisters);
}

INSTANTIATE_TEST_SUITE_P(
    Chips, KernelAndPortWrites,
    ::testing::Values(BothWays{"generic", SmbusVariant::BlockBuffered, 1, 0x40, 0x20, 112.0},
                      BothWays{"generic", SmbusVariant::BlockByteWise, 2, 0x40, 0x30, 133.0},
                      BothWays{"ICS9248-153", SmbusVariant::Ics9248, 2, 0x00, 0x38, 112.0},
                      BothWays{"RTM560-25", SmbusVariant::Rtm560, 2, 0x00, 0x0C, 133.3}));

}  // namespace
}  // namespace vc::helper
