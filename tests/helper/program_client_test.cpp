// The program's own way to the hardware on this computer (the NT port
// driver's requests through HostPlatform's connection) against the helper,
// with FakeHardware behind it: both ends of the socket agree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "core/cpu/cpu_info.h"
#include "core/hw/driver_requests_path.h"
#include "core/hw/hw_driver.h"
#include "core/hw/pci_config.h"
#include "core/hw/smbus_access.h"
#include "helper/running_helper.h"
#include "host/helper_connection.h"
#include "host/host_machine.h"

namespace vc::helper {
namespace {

class ProgramAgainstHelper : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        ASSERT_TRUE(helper.Start({}, why)) << why;
        ::setenv(host::kHelperSocketVariable, helper.path.c_str(), 1);
        ASSERT_FALSE(path.OpenForBios().Faulted());
    }
    void TearDown() override { ::unsetenv(host::kHelperSocketVariable); }

    static SmbusAccess Access(int32_t ioBase, int32_t kind) {
        SmbusAccess access;
        access.controllerKind = kind;
        access.operation = kSmbusOperationBlockWrite;
        access.firstByteMask = 0x80;
        access.ioBase = ioBase;
        access.writeAddress = kClockGenWriteAddress;
        access.readAddress = kClockGenReadAddress;
        return access;
    }

    test::RunningHelper helper;
    HostPlatform platform;
    DriverRequestsPath path{platform};
};

TEST_F(ProgramAgainstHelper, TheSystemLooksLikeTheNtFamily) {
    EXPECT_EQ(platform.GetOsVersion().platformId, kPlatformNt);
}

TEST_F(ProgramAgainstHelper, BiosSearchConfigurationWordAndPciRead) {
    std::memcpy(helper.hw.window.data() + 0xF000, "ABCBOARD", 8);
    const TextField present = "ABCBOARD";
    const TextField absent = "XYZBOARD";
    EXPECT_TRUE(path.BiosHolds(present));
    EXPECT_FALSE(path.BiosHolds(absent));

    uint32_t word = 0;
    EXPECT_FALSE(path.ReadConfigWord(kVendorAmd, word).Faulted());
    EXPECT_EQ(word, helper.hw.configWord);

    helper.hw.pci[test::FakeHardware::PciKey(0, 0x1F, 3, 0x20)] = 0x0601;
    uint32_t value = 0;
    EXPECT_FALSE(path.ReadPciConfig(PciConfigAddress(0, 0x1F, 3, 0x20), value).Faulted());
    EXPECT_EQ(value, 0x0601u);
}

TEST_F(ProgramAgainstHelper, AWriteTheHelperTakesAndOneItRefuses) {
    const uint8_t select[] = {0x20};
    EXPECT_FALSE(path.WriteSmbus(SmbusVariant::Ics9248, Access(0x0600, 2), select).Faulted());
    ASSERT_EQ(helper.hw.writes.size(), 1u);
    EXPECT_EQ(helper.hw.writes[0].write.variant, SmbusVariant::Ics9248);
    EXPECT_EQ(helper.hw.writes[0].write.firstByteMask, 0x80);
    EXPECT_EQ(helper.hw.writes[0].write.data, std::vector<uint8_t>{0x20});

    EXPECT_EQ(path.WriteSmbus(SmbusVariant::BlockBuffered, Access(0x0800, 1), select).fault, BusFault::SmbusRequest);
    EXPECT_EQ(helper.hw.writes.size(), 1u);
    EXPECT_TRUE(helper.log.Has("ioBase 0x0800 is no SMBus controller PCI shows"));
}

TEST_F(ProgramAgainstHelper, TheProbeReportReadsBackAsText) {
    std::string report;
    ASSERT_TRUE(RequestProbe(platform, path.DriverHandle(), report));
    EXPECT_EQ(report.rfind("controller kind=1 base=0x0700 pci=0000:00:01.3 driver=piix4_smbus adapter=/dev/i2c-0\n", 0),
              0u);
}

// The helper closes a connection idle for a few seconds; the program's
// next request opens it again instead of failing.
TEST(ProgramAgainstAnIdleHelper, AConnectionClosedWhileIdleIsOpenedAgain) {
    test::RunningHelper helper;
    ServerConfig config;
    config.idleTimeout = std::chrono::milliseconds(200);
    std::string why;
    ASSERT_TRUE(helper.Start(config, why)) << why;
    ::setenv(host::kHelperSocketVariable, helper.path.c_str(), 1);
    HostPlatform platform;
    DriverRequestsPath path{platform};
    ASSERT_FALSE(path.OpenForBios().Faulted());
    uint32_t value = 0;
    EXPECT_FALSE(path.ReadPciConfig(0x8000'0000, value).Faulted());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(helper.log.Has(": no request for 200 ms; closed"));
    EXPECT_FALSE(path.ReadPciConfig(0x8000'0000, value).Faulted());
    EXPECT_EQ(helper.hw.pciAsked.size(), 2u);
    ::unsetenv(host::kHelperSocketVariable);
}

}  // namespace
}  // namespace vc::helper
