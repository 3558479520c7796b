#include "core/hw/hw_driver.h"

#include <gtest/gtest.h>

#include "core/hw/process_end.h"
#include "core/hw/recording_machine.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

using test::RecordingMachine;
using test::RecordingShell;
using Strings = std::vector<std::string>;

struct OsCase {
    uint32_t platform;
    uint32_t major;
    uint32_t minor;
    int32_t osKind;
};

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

class DriverTest : public ::testing::Test {
protected:
    Context Ctx(int32_t osKind) { return Context{machine, shell, osKind, {}}; }

    RecordingMachine machine;
    RecordingShell shell;
    SystemInfo info;
};

TEST_F(DriverTest, Win9xBiosWindowComesFromRequestTwoOnAPerRequestHandle) {
    machine.openReply = 3;
    machine.requestReplies[2] = {true, {0x00, 0x00, 0x0F, 0x80}};
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(OpenDriverForBios(info, ctx), 1);
    EXPECT_EQ(machine.What(), (Strings{"open \\\\.\\Map9X.vxd 9x", "request 2", "close 3"}));
    EXPECT_EQ(machine.requests[0].handle, 3u);
    EXPECT_EQ(machine.requests[0].outputSize, 4u);
    EXPECT_EQ(info.biosWindow, 0x800F0000u);
    EXPECT_EQ(info.driverHandle, kNoDevice);
}

TEST_F(DriverTest, Win9xFailedBiosRequestLeavesNoWindow) {
    machine.requestReplies[2] = {false, {0x00, 0x00, 0x0F, 0x00}};
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(OpenDriverForBios(info, ctx), 1);
    EXPECT_EQ(info.biosWindow, 0u);
    EXPECT_EQ(machine.What().back(), "close 7");
}

TEST_F(DriverTest, Win9xDriverMissingFailsSilently) {
    machine.openReply = kNoDevice;
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(OpenDriverForBios(info, ctx), 0);
    EXPECT_EQ(ScanAddressInfo(info, ctx), 0);
    EXPECT_TRUE(machine.requests.empty());
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(DriverTest, NtDriverIsOpenedOnceAndKept) {
    machine.openReply = 42;
    Context ctx = Ctx(kOsNt4);
    EXPECT_EQ(OpenDriverForBios(info, ctx), 1);
    EXPECT_EQ(machine.What(), (Strings{"open \\\\.\\GpdDev nt"}));
    EXPECT_EQ(info.driverHandle, 42u);
}

TEST_F(DriverTest, NtDriverMissingEndsProcessWithItsMessage) {
    const std::pair<int32_t, const char*> cases[] = {
        {kOsNt4, "Failed to open Velocore WinNT driver\n"},
        {kOsWin2000, "Failed to open Velocore Win2000 driver\n"},
    };
    machine.openReply = kNoDevice;
    for (const auto& [osKind, text] : cases) {
        shell.messages.clear();
        Context ctx = Ctx(osKind);
        EXPECT_EQ(test::EndedWith([&] { OpenDriverForBios(info, ctx); }), 1);
        EXPECT_EQ(shell.messages, (std::vector<test::ShownMessage>{{"Message", text}}));
    }
}

TEST_F(DriverTest, OtherSystemOpensNothingAndSendsNothing) {
    Context ctx = Ctx(kOsOther);
    info.cpu.vendorCode = kVendorIntel;
    EXPECT_EQ(OpenDriverForBios(info, ctx), 1);
    EXPECT_EQ(ScanAddressInfo(info, ctx), 1);
    EXPECT_TRUE(machine.events.empty());
    EXPECT_EQ(info.addressInfo, 0u);
}

struct AddressCase {
    int32_t osKind;
    int32_t vendorCode;
    uint32_t code;
};

class AddressInfoTest : public DriverTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(AddressInfoTest, VendorChoosesRequestAndWordIsStored) {
    const AddressCase c = GetParam();
    info.cpu.vendorCode = c.vendorCode;
    info.driverHandle = 9;
    machine.requestReplies[c.code] = {true, {0x78, 0x56, 0x34, 0x12}};
    Context ctx = Ctx(c.osKind);
    EXPECT_EQ(ScanAddressInfo(info, ctx), 1);
    ASSERT_EQ(machine.requests.size(), 1u);
    EXPECT_EQ(machine.requests[0].code, c.code);
    EXPECT_EQ(machine.requests[0].outputSize, 4u);
    EXPECT_EQ(info.addressInfo, 0x12345678u);
    if (c.osKind == kOsWin9x) {
        EXPECT_EQ(machine.What().front(), "open \\\\.\\Map9X.vxd 9x");
        EXPECT_EQ(machine.What().back(), "close 7");
    } else {
        EXPECT_EQ(machine.requests[0].handle, 9u);
        EXPECT_EQ(machine.What().size(), 1u);  // no open, no close
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vendors, AddressInfoTest,
    ::testing::Values(AddressCase{kOsWin9x, kVendorIntel, 8}, AddressCase{kOsWin9x, kVendorAmd, 9},
                      AddressCase{kOsWin9x, kVendorCyrix, 0}, AddressCase{kOsWin9x, 0, 0},
                      AddressCase{kOsNt4, kVendorIntel, 0x9C40245C},
                      AddressCase{kOsWin2000, kVendorAmd, 0x9C402460}));

TEST_F(DriverTest, Win9xWordIsKeptEvenWhenRequestFails) {
    info.cpu.vendorCode = kVendorAmd;
    machine.requestReplies[9] = {false, {0x01, 0x02, 0x03, 0x04}};
    Context ctx = Ctx(kOsWin9x);
    EXPECT_EQ(ScanAddressInfo(info, ctx), 0);
    EXPECT_EQ(info.addressInfo, 0x04030201u);
    EXPECT_EQ(machine.What().back(), "close 7");
}

TEST_F(DriverTest, NtFailedRequestLeavesWordUnchanged) {
    info.cpu.vendorCode = kVendorIntel;
    info.addressInfo = 0xABCD;
    machine.requestReplies[0x9C40245C] = {false, {0x01, 0x02, 0x03, 0x04}};
    Context ctx = Ctx(kOsWin2000);
    EXPECT_EQ(ScanAddressInfo(info, ctx), 0);
    EXPECT_EQ(info.addressInfo, 0xABCDu);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(DriverTest, NtOtherVendorSucceedsWithoutRequest) {
    for (const int32_t vendor : {kVendorCyrix, 0}) {
        info.cpu.vendorCode = vendor;
        Context ctx = Ctx(kOsNt4);
        EXPECT_EQ(ScanAddressInfo(info, ctx), 1);
    }
    EXPECT_TRUE(machine.requests.empty());
    EXPECT_EQ(info.addressInfo, 0u);
}

}  // namespace
}  // namespace vc
