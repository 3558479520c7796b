#include "core/hw/pci_config.h"

#include <gtest/gtest.h>

#include <ostream>

#include "core/app/bus_fault_report.h"
#include "core/hw/process_end.h"
#include "sim/sim_fixtures.h"
#include "support/sim_rig.h"

namespace vc {
namespace {

using Strings = std::vector<std::string>;

struct AddressCase {
    uint32_t bus, device, function, reg;
    uint32_t address;
};

void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << "bus " << c.bus << " device " << c.device << " function " << c.function << " register 0x" << std::hex
        << c.reg << " -> 0x" << c.address;
}

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

TEST(PciReadTest, Win9xUsesTheConfigurationPortPair) {
    test::SimRig rig(sim::test::Board(1, "generic", kOsWin9x));
    rig.sim.SetHostBridgeRegister(0x50, 0x01002000);
    uint32_t value = 0;
    EXPECT_EQ(ScanPCIValue(rig.Bus(), 0, 0, 0, 0x50, value).value, 1);
    EXPECT_EQ(rig.platform.What(), (Strings{"out32 cf8 80000050", "in32 cfc"}));
    EXPECT_EQ(value, 0x01002000u);
}

TEST(PciReadTest, NtSendsAddressAndTakesDword) {
    for (const int32_t osKind : {kOsNt4, kOsWin2000}) {
        test::SimRig rig(sim::test::Board(1, "generic", static_cast<uint32_t>(osKind)));
        rig.sim.SetHostBridgeRegister(0x50, 0x01020304);
        ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
        uint32_t value = 0;
        EXPECT_EQ(ScanPCIValue(rig.Bus(), 1, 31, 7, 0x3C, value).value, 1);
        EXPECT_EQ(value, 0xFFFFFFFFu);  // no such device
        EXPECT_EQ(ScanPCIValue(rig.Bus(), 0, 0, 0, 0x50, value).value, 1);
        EXPECT_EQ(value, 0x01020304u);
        ASSERT_EQ(rig.platform.requests.size(), 2u);
        const auto& request = rig.platform.requests[0];
        EXPECT_EQ(request.handle, rig.Bus().DriverHandle());
        EXPECT_EQ(request.code, 0x9C402454u);
        EXPECT_EQ(request.input, (std::vector<uint8_t>{0x3C, 0xFF, 0x01, 0x80}));
        EXPECT_EQ(request.outputSize, 4u);
        // Past the standard header the driver answers only the registers
        // the program reads: another of the host bridge's is refused.
        value = 0x5A5A5A5A;
        EXPECT_EQ(ScanPCIValue(rig.Bus(), 0, 0, 0, 0xFC, value).fault, BusFault::PciRequest);
        EXPECT_EQ(value, 0x5A5A5A5Au);
    }
}

TEST(PciReadTest, NtFailedRequestEndsProcess) {
    sim::MachineDescription d = sim::test::Board(1, "generic", kOsNt4);
    d.faults.pciFails = true;
    test::SimRig rig(d);
    ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
    uint32_t value = 0x5A5A5A5A;
    const BusResult read = ScanPCIValue(rig.Bus(), 0, 0, 0, 0x50, value);
    EXPECT_EQ(read.fault, BusFault::PciRequest);
    EXPECT_EQ(value, 0x5A5A5A5Au);
    EXPECT_EQ(test::EndedWith([&] { EndOnBusFault(rig.ctx, read.fault); }), 1);
    EXPECT_EQ(rig.shell.messages,
              (std::vector<test::ShownMessage>{{"Message", "DeviceIOControl Fail (ScanPCIValue)\n"}}));
}

TEST(PciReadTest, OtherSystemLeavesValueUntouched) {
    test::SimRig rig(sim::test::Board(1, "generic", kOsOther));
    uint32_t value = 0x5A5A5A5A;
    EXPECT_EQ(ScanPCIValue(rig.Bus(), 0, 0, 0, 0x50, value).value, 1);
    EXPECT_EQ(value, 0x5A5A5A5Au);
    EXPECT_TRUE(rig.platform.events.empty());
}

}  // namespace
}  // namespace vc
