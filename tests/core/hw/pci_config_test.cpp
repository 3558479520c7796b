#include "core/hw/pci_config.h"

#include <gtest/gtest.h>

#include "core/hw/process_end.h"
#include "core/hw/recording_machine.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

using test::RecordingMachine;
using test::RecordingShell;
using Strings = std::vector<std::string>;

struct AddressCase {
    uint32_t bus, device, function, reg;
    uint32_t address;
};

class PciAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(PciAddressTest, FieldsLandInTheirBits) {
    const AddressCase c = GetParam();
    EXPECT_EQ(PciConfigAddress(c.bus, c.device, c.function, c.reg), c.address);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, PciAddressTest,
    ::testing::Values(AddressCase{0, 0, 0, 0x50, 0x80000050}, AddressCase{1, 31, 7, 0xFC, 0x8001FFFC},
                      AddressCase{255, 0, 0, 0, 0x80FF0000}, AddressCase{0, 0, 1, 0x08, 0x80000108},
                      // out of range values stay inside their own field
                      AddressCase{256, 0, 0, 0, 0x80000000}, AddressCase{0, 32, 0, 0, 0x80000000},
                      AddressCase{0, 0, 8, 0, 0x80000000}, AddressCase{0, 0, 0, 0x150, 0x80000050}));

class PciReadTest : public ::testing::Test {
protected:
    Context Ctx(int32_t osKind) { return Context{machine, shell, osKind, {}}; }

    RecordingMachine machine;
    RecordingShell shell;
    SystemInfo info;
    uint32_t value = 0x5A5A5A5A;
};

TEST_F(PciReadTest, Win9xUsesTheConfigurationPortPair) {
    machine.in32Replies[0xCFC] = 0x01002000;
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(ScanPCIValue(info, ctx, 0, 0, 0, 0x50, value), 1);
    EXPECT_EQ(machine.What(), (Strings{"out32 cf8 80000050", "in32 cfc"}));
    EXPECT_EQ(value, 0x01002000u);
}

TEST_F(PciReadTest, NtSendsAddressAndTakesDword) {
    info.driverHandle = 5;
    machine.requestReplies[0x9C402454] = {true, {0x04, 0x03, 0x02, 0x01}};
    for (const int32_t osKind : {kOsNt4, kOsWin2000}) {
        machine.requests.clear();
        Context ctx = Ctx(osKind);
        EXPECT_EQ(ScanPCIValue(info, ctx, 1, 31, 7, 0xFC, value), 1);
        ASSERT_EQ(machine.requests.size(), 1u);
        const auto& request = machine.requests[0];
        EXPECT_EQ(request.handle, 5u);
        EXPECT_EQ(request.code, 0x9C402454u);
        EXPECT_EQ(request.input, (std::vector<uint8_t>{0xFC, 0xFF, 0x01, 0x80}));
        EXPECT_EQ(request.outputSize, 4u);
        EXPECT_EQ(value, 0x01020304u);
    }
}

TEST_F(PciReadTest, NtFailedRequestEndsProcess) {
    machine.requestReplies[0x9C402454] = {false, {}};
    Context ctx = Ctx(kOsNt4);
    EXPECT_EQ(test::EndedWith([&] { ScanPCIValue(info, ctx, 0, 0, 0, 0x50, value); }), 1);
    EXPECT_EQ(shell.messages,
              (std::vector<test::ShownMessage>{{"Message", "DeviceIOControl Fail (ScanPCIValue)\n"}}));
}

TEST_F(PciReadTest, OtherSystemLeavesValueUntouched) {
    Context ctx = Ctx(kOsOther);
    EXPECT_EQ(ScanPCIValue(info, ctx, 0, 0, 0, 0x50, value), 1);
    EXPECT_EQ(value, 0x5A5A5A5Au);
    EXPECT_TRUE(machine.events.empty());
}

}  // namespace
}  // namespace vc
