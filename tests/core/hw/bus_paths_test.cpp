// The three ways to the hardware on simulated machines of each system kind:
// which driver is opened how, which requests go out, and what comes back.
#include "core/hw/bus_path.h"

#include <gtest/gtest.h>

#include <ostream>

#include "core/app/bus_fault_report.h"
#include "core/app/detection.h"
#include "core/hw/process_end.h"
#include "sim/sim_fixtures.h"
#include "support/sim_rig.h"

namespace vc {
namespace {

using Strings = std::vector<std::string>;

constexpr uint32_t kConfigWord = 0x12345678;

struct OsCase {
    uint32_t platform;
    uint32_t major;
    uint32_t minor;
    int32_t osKind;
};

void PrintTo(const OsCase& c, std::ostream* os) {
    *os << "platform " << c.platform << " version " << c.major << "." << c.minor << " -> kind " << c.osKind;
}

class OsKindTest : public ::testing::TestWithParam<OsCase> {};

TEST_P(OsKindTest, MapsReportedVersion) {
    const OsCase c = GetParam();
    EXPECT_EQ(OsKindFromVersion({c.platform, c.major, c.minor}), c.osKind);
}

INSTANTIATE_TEST_SUITE_P(Versions, OsKindTest,
                         ::testing::Values(OsCase{1, 4, 0, 1}, OsCase{1, 4, 90, 1},
                                           OsCase{2, 4, 0, 2}, OsCase{2, 5, 0, 3},
                                           OsCase{2, 5, 1, 3}, OsCase{2, 3, 51, 0},
                                           OsCase{2, 6, 1, 0}, OsCase{0, 3, 11, 0},
                                           OsCase{3, 5, 0, 0}));

// A machine of the given system kind whose processor answers kConfigWord.
sim::MachineDescription On(int32_t osKind) {
    sim::MachineDescription d = sim::test::Board(1, "generic", static_cast<uint32_t>(osKind));
    d.cpu.configWord = kConfigWord;
    return d;
}

TEST(BusPathTest, Win9xBiosWindowComesFromRequestTwoOnTheKeptHandle) {
    sim::MachineDescription d = On(kOsWin9x);
    d.bios.windowAddress = 0x800F0000;
    test::SimRig rig(d);
    EXPECT_EQ(rig.Bus().OpenForBios().value, 1);
    ASSERT_EQ(rig.platform.requests.size(), 1u);
    const test::RecordedRequest& request = rig.platform.requests[0];
    EXPECT_NE(request.handle, kNoDevice);
    EXPECT_EQ(rig.platform.What(), (Strings{"open \\\\.\\MAP9X.VXD 9x", "request 2"}));
    EXPECT_EQ(rig.sim.OpenDeviceCount(), 1u);
    EXPECT_EQ(request.outputSize, 4u);
    EXPECT_EQ(rig.Bus().BiosWindow(), 0x800F0000u);
    EXPECT_EQ(rig.Bus().DriverHandle(), kNoDevice);
}

TEST(BusPathTest, Win9xFailedBiosRequestLeavesNoWindow) {
    sim::MachineDescription d = On(kOsWin9x);
    d.faults.biosRequestFails = true;
    test::SimRig rig(d);
    EXPECT_EQ(rig.Bus().OpenForBios().value, 1);
    EXPECT_EQ(rig.Bus().BiosWindow(), 0u);
    EXPECT_EQ(rig.platform.What(), (Strings{"open \\\\.\\MAP9X.VXD 9x", "request 2"}));
}

TEST(BusPathTest, Win9xDriverMissingFailsSilently) {
    sim::MachineDescription d = On(kOsWin9x);
    d.faults.driverMissing = true;
    test::SimRig rig(d);
    const BusResult opened = rig.Bus().OpenForBios();
    EXPECT_EQ(opened.value, 0);
    EXPECT_FALSE(opened.Faulted());
    const BusResult read = ScanAddressInfo(rig.info, rig.ctx);
    EXPECT_EQ(read.value, 0);
    EXPECT_FALSE(read.Faulted());
    EXPECT_TRUE(rig.platform.requests.empty());
    EXPECT_TRUE(rig.shell.messages.empty());
}

TEST(BusPathTest, NtDriverIsOpenedOnceAndKept) {
    test::SimRig rig(On(kOsNt4));
    EXPECT_EQ(rig.Bus().OpenForBios().value, 1);
    EXPECT_EQ(rig.platform.What(), (Strings{"open \\\\.\\GpdDev nt"}));
    EXPECT_NE(rig.Bus().DriverHandle(), kNoDevice);
    EXPECT_EQ(rig.sim.OpenDeviceCount(), 1u);
}

TEST(BusPathTest, NtDriverMissingEndsProcessWithItsMessage) {
    const std::pair<int32_t, const char*> cases[] = {
        {kOsNt4, "Failed to open Velocore WinNT driver\n"},
        {kOsWin2000, "Failed to open Velocore Win2000 driver\n"},
    };
    for (const auto& [osKind, text] : cases) {
        sim::MachineDescription d = On(osKind);
        d.faults.driverMissing = true;
        test::SimRig rig(d);
        const BusResult opened = rig.Bus().OpenForBios();
        EXPECT_EQ(opened.fault, BusFault::DriverOpen);
        EXPECT_EQ(test::EndedWith([&] { EndOnBusFault(rig.ctx, opened.fault); }), 1);
        EXPECT_EQ(rig.shell.messages, (std::vector<test::ShownMessage>{{"Message", text}}));
    }
}

TEST(BusPathTest, OtherSystemOpensNothingAndSendsNothing) {
    test::SimRig rig(On(kOsOther));
    rig.info.cpu.vendorCode = kVendorIntel;
    EXPECT_EQ(rig.Bus().OpenForBios().value, 1);
    EXPECT_EQ(ScanAddressInfo(rig.info, rig.ctx).value, 1);
    EXPECT_TRUE(rig.platform.events.empty());
    EXPECT_EQ(rig.info.addressInfo, 0u);
}

struct AddressCase {
    int32_t osKind;
    int32_t vendorCode;
    uint32_t code;
};

void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << "system " << c.osKind << ", vendor " << c.vendorCode << " -> request 0x" << std::hex << c.code;
}

class AddressInfoTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressInfoTest, VendorChoosesRequestAndWordIsStored) {
    const AddressCase c = GetParam();
    test::SimRig rig(On(c.osKind));
    rig.info.cpu.vendorCode = c.vendorCode;
    ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
    const DeviceHandle opened = rig.platform.requests.empty() ? rig.Bus().DriverHandle()
                                                              : rig.platform.requests.front().handle;
    rig.platform.Clear();
    EXPECT_EQ(ScanAddressInfo(rig.info, rig.ctx).value, 1);
    ASSERT_EQ(rig.platform.requests.size(), 1u);
    const test::RecordedRequest& request = rig.platform.requests[0];
    EXPECT_EQ(request.code, c.code);
    EXPECT_EQ(request.outputSize, 4u);
    EXPECT_EQ(rig.info.addressInfo, kConfigWord);
    // On the handle the path opened for the BIOS: no open, no close.
    EXPECT_EQ(request.handle, opened);
    EXPECT_EQ(rig.platform.What().size(), 1u);
    EXPECT_EQ(rig.sim.OpenDeviceCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Vendors, AddressInfoTest,
    ::testing::Values(AddressCase{kOsWin9x, kVendorIntel, 8}, AddressCase{kOsWin9x, kVendorAmd, 9},
                      AddressCase{kOsWin9x, kVendorCyrix, 0}, AddressCase{kOsWin9x, 0, 0},
                      AddressCase{kOsNt4, kVendorIntel, 0x9C40245C},
                      AddressCase{kOsWin2000, kVendorAmd, 0x9C402460}));

TEST(BusPathTest, Win9xWordTakesWhatTheDriverLeftEvenWhenRequestFails) {
    sim::MachineDescription d = On(kOsWin9x);
    d.faults.configWordFails = true;
    test::SimRig rig(d);
    rig.info.cpu.vendorCode = kVendorAmd;
    rig.info.addressInfo = 0xABCD;
    EXPECT_EQ(ScanAddressInfo(rig.info, rig.ctx).value, 0);
    EXPECT_EQ(rig.info.addressInfo, 0u);  // the untouched output buffer
    // Asked before the BIOS: the path opens the device then and keeps it.
    EXPECT_EQ(rig.platform.What(), (Strings{"open \\\\.\\MAP9X.VXD 9x", "request 9"}));
    EXPECT_EQ(rig.sim.OpenDeviceCount(), 1u);
}


TEST(BusPathTest, NtFailedRequestLeavesWordUnchanged) {
    sim::MachineDescription d = On(kOsWin2000);
    d.faults.configWordFails = true;
    test::SimRig rig(d);
    rig.info.cpu.vendorCode = kVendorIntel;
    rig.info.addressInfo = 0xABCD;
    ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
    const BusResult read = ScanAddressInfo(rig.info, rig.ctx);
    EXPECT_EQ(read.value, 0);
    EXPECT_FALSE(read.Faulted());
    EXPECT_EQ(rig.info.addressInfo, 0xABCDu);
}

TEST(BusPathTest, NtOtherVendorSucceedsWithoutRequest) {
    test::SimRig rig(On(kOsNt4));
    ASSERT_EQ(rig.Bus().OpenForBios().value, 1);
    for (const int32_t vendor : {kVendorCyrix, 0}) {
        rig.info.cpu.vendorCode = vendor;
        EXPECT_EQ(ScanAddressInfo(rig.info, rig.ctx).value, 1);
    }
    EXPECT_TRUE(rig.platform.requests.empty());
    EXPECT_EQ(rig.info.addressInfo, 0u);
}

}  // namespace
}  // namespace vc
