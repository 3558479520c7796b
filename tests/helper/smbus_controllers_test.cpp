// Finding the SMBus controllers, and the helper's reads, on a sysfs tree and
// device files of the test's own (never the machine's).
#include "helper/smbus_controllers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/base/little_endian.h"
#include "helper/linux_hardware.h"

namespace vc::helper {
namespace {

namespace fs = std::filesystem;

// A function's 256 configuration bytes.
struct Config {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(256, 0);

    Config(uint16_t vendor, uint16_t device, uint16_t classCode) {
        PutLe<uint16_t>(bytes, 0, vendor);
        PutLe<uint16_t>(bytes, 2, device);
        PutLe<uint16_t>(bytes, 0x0A, classCode);
        PutLe<uint16_t>(bytes, 0x04, 0x0001);  // I/O decoding on
    }
    Config& Dword(size_t reg, uint32_t value) {
        PutLe32(bytes, reg, value);
        return *this;
    }
    Config& Byte(size_t reg, uint8_t value) {
        bytes[reg] = value;
        return *this;
    }
};

Config Piix4(uint32_t baseRegister = 0x0701) {
    return Config(0x8086, 0x7113, 0x0680).Dword(0x90, baseRegister).Byte(0xD2, 0x09);
}
Config Ich(uint32_t bar4 = 0x0601) { return Config(0x8086, 0x2930, 0x0C05).Dword(0x20, bar4).Byte(0x40, 0x01); }

class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/vc-sysfs-XXXXXX";
        root_ = ::mkdtemp(name);
        fs::create_directories(Devices());
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path Devices() const { return fs::path(root_) / "bus/pci/devices"; }

    void Device(const std::string& pci, const Config& config, const std::string& driver = "",
                const std::vector<std::pair<int, std::string>>& adapters = {}) {
        const fs::path dir = Devices() / pci;
        fs::create_directories(dir);
        std::ofstream(dir / "config", std::ios::binary)
            .write(reinterpret_cast<const char*>(config.bytes.data()), static_cast<std::streamsize>(config.bytes.size()));
        if (!driver.empty()) fs::create_directory_symlink("../../../bus/pci/drivers/" + driver, dir / "driver");
        for (const auto& [number, adapterName] : adapters) {
            const fs::path adapter = dir / ("i2c-" + std::to_string(number));
            fs::create_directories(adapter);
            std::ofstream(adapter / "name") << adapterName << "\n";
        }
    }

    std::string root_;
};

TEST_F(FakeSysfs, FindsBothFamiliesWithTheirBasesDriversAndAdapters) {
    Device("0000:00:00.0", Config(0x8086, 0x1237, 0x0600));  // host bridge
    Device("0000:00:01.3", Piix4(), "piix4_smbus", {{3, "SMBus PIIX4 adapter at 0700"}});
    Device("0000:00:1f.3", Ich());
    const auto found = FindSmbusControllers(root_);
    ASSERT_EQ(found.size(), 2u);

    EXPECT_EQ(found[0].pci, "0000:00:01.3");
    EXPECT_EQ(found[0].kind, 1);
    EXPECT_EQ(found[0].ioBase, 0x0700);  // the I/O-space bit masked
    EXPECT_TRUE(found[0].enabled);
    EXPECT_EQ(found[0].driver, "piix4_smbus");
    EXPECT_EQ(found[0].adapter, "/dev/i2c-3");

    EXPECT_EQ(found[1].pci, "0000:00:1f.3");
    EXPECT_EQ(found[1].kind, 2);
    EXPECT_EQ(found[1].ioBase, 0x0600);
    EXPECT_TRUE(found[1].enabled);
    EXPECT_EQ(found[1].driver, "");
    EXPECT_EQ(found[1].adapter, "");
}

TEST_F(FakeSysfs, LeavesOutWhatTheSequencesWereNotWrittenFor) {
    // An SMBus function of another maker, with an I/O range at 0x20.
    Device("0000:00:0a.1", Config(0x10DE, 0x0264, 0x0C05).Dword(0x20, 0x0C01));
    // An Intel SMBus function a different kernel driver has claimed.
    Device("0000:00:1f.4", Ich(0x0581), "i2c_ismt");
    // An Intel SMBus function whose register 0x20 is a memory range.
    Device("0000:00:1f.5", Ich(0xFE000000));
    // A PIIX4 function bound to the other family's driver.
    Device("0000:00:01.3", Piix4(), "i801_smbus");
    EXPECT_TRUE(FindSmbusControllers(root_).empty());
}

TEST_F(FakeSysfs, AControllerThatDoesNotDecodeItsPortsIsShownDisabled) {
    Device("0000:00:1f.3", Ich().Byte(0x40, 0x00));                     // host interface off
    Device("0000:00:01.3", Piix4().Dword(0x04, 0));                     // I/O decoding off
    Device("0000:00:07.3", Config(0x8086, 0x7113, 0x0680).Dword(0x90, 0x0001).Byte(0xD2, 1));  // no base
    const auto found = FindSmbusControllers(root_);
    ASSERT_EQ(found.size(), 3u);
    for (const auto& c : found) EXPECT_FALSE(c.enabled) << c.pci;
    EXPECT_EQ(found[1].pci, "0000:00:07.3");
    EXPECT_EQ(found[1].ioBase, 0);
}

TEST_F(FakeSysfs, AShortConfigurationSpaceIsNoController) {
    // What an unprivileged reader gets: the first 64 bytes only.
    Config config = Piix4();
    config.bytes.resize(64);
    Device("0000:00:01.3", config);
    EXPECT_TRUE(FindSmbusControllers(root_).empty());
}

TEST_F(FakeSysfs, AnAdapterIsPickedByItsParentAndName) {
    Device("0000:00:14.0", Config(0x1166, 0x0201, 0x0C05).Dword(0x90, 0x0B01).Byte(0xD2, 1), "piix4_smbus",
           {{7, "SMBus PIIX4 adapter at 0b20"}, {2, "SMBus PIIX4 adapter at 0b00"}});
    const auto found = FindSmbusControllers(root_);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].adapter, "/dev/i2c-2");
}

// VIA: a function the table knows at its own function number, the base
// where its family keeps it; i2c-viapro registers an adapter without binding
// the device, and that makes the controller the kernel's all the same. An
// Intel SMBus-class function the table does not know is nobody's.
TEST_F(FakeSysfs, ViaControllersAtTheirFunctionAndOnlyKnownIds) {
    Device("0000:00:07.4", Config(0x1106, 0x3057, 0x0C05).Dword(0x90, 0x5001).Byte(0xD2, 0x01), "",
           {{1, "SMBus Via Pro adapter at 5000"}});
    Device("0000:00:11.0", Config(0x1106, 0x3074, 0x0601).Dword(0xD0, 0x0001'E401));
    Device("0000:00:07.3", Config(0x1106, 0x3057, 0x0C05).Dword(0x90, 0x6001));  // not the 686's SMBus function
    Device("0000:00:1f.4", Config(0x8086, 0x1C22, 0x0C05).Dword(0x20, 0xF001).Byte(0x40, 0x01));
    const auto found = FindSmbusControllers(root_);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].pci, "0000:00:07.4");
    EXPECT_EQ(found[0].ioBase, 0x5000);
    EXPECT_EQ(found[0].kind, 1);
    EXPECT_EQ(found[0].driver, "vt596_smbus");
    EXPECT_EQ(found[0].adapter, "/dev/i2c-1");
    EXPECT_EQ(found[1].pci, "0000:00:11.0");
    EXPECT_EQ(found[1].ioBase, 0xE400);
    EXPECT_TRUE(found[1].enabled);
    EXPECT_FALSE(found[1].KernelOwned());
}

TEST(PickAdapter, TheOnlyOneOrTheOneNamedAfterTheBase) {
    EXPECT_EQ(PickAdapter({{4, "anything"}}, 0x0700), 4);
    EXPECT_EQ(PickAdapter({{1, "SMBus I801 adapter at f000"}, {5, "SMBus I801 adapter at EFA0"}}, 0xEFA0), 5);
    EXPECT_EQ(PickAdapter({{1, "mux 1"}, {2, "mux 2"}}, 0x0700), -1);
    EXPECT_EQ(PickAdapter({}, 0x0700), -1);
}

// LinuxHardware's reads, pointed at files of the test's own.
class FakeFiles : public FakeSysfs {
protected:
    LinuxHardware Hardware() {
        LinuxPaths paths;
        paths.sysRoot = root_;
        paths.devMem = root_ + "/mem";
        paths.msr = root_ + "/msr";
        paths.lockFile = root_ + "/lock";
        paths.loadModules = false;
        paths.kernelLog = root_ + "/kmsg";
        return LinuxHardware(paths, [this](const std::string& line) { log_.push_back(line); });
    }
    void WriteAt(const std::string& file, size_t offset, std::vector<uint8_t> bytes) {
        std::fstream out(root_ + "/" + file, std::ios::binary | std::ios::in | std::ios::out);
        if (!out) out.open(root_ + "/" + file, std::ios::binary | std::ios::out);
        out.seekp(static_cast<std::streamoff>(offset));
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::string> log_;
};

TEST_F(FakeFiles, TheBiosWindowIsTheSixtyFourKilobytesAtF0000) {
    WriteAt("mem", 0xEFFFF, {0x11});
    WriteAt("mem", 0xF0000, {0x22});
    WriteAt("mem", 0xFFFFF, {0x33});
    WriteAt("mem", 0x100000, {0x44});
    std::vector<uint8_t> window;
    std::string why;
    ASSERT_TRUE(Hardware().ReadBiosWindow(window, why)) << why;
    ASSERT_EQ(window.size(), 0x10000u);
    EXPECT_EQ(window.front(), 0x22);
    EXPECT_EQ(window.back(), 0x33);
}

TEST_F(FakeFiles, AShortBiosWindowFails) {
    WriteAt("mem", 0xF0000, std::vector<uint8_t>(0x8000, 0x55));
    std::vector<uint8_t> window;
    std::string why;
    EXPECT_FALSE(Hardware().ReadBiosWindow(window, why));
    EXPECT_EQ(why, root_ + "/mem: short read");
}

TEST_F(FakeFiles, TheConfigurationWordIsTheLowHalfOfMsr2A) {
    WriteAt("msr", 0x2A, {0x78, 0x56, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89});
    uint32_t word = 0;
    std::string why;
    ASSERT_TRUE(Hardware().ReadConfigWord(word, why)) << why;
    EXPECT_EQ(word, 0x12345678u);
}

TEST_F(FakeFiles, PciConfigurationComesFromSysfsAndAnAbsentDeviceReadsAllOnes) {
    Device("0000:00:1f.3", Ich(0x0000'EF01));
    auto hardware = Hardware();
    uint32_t value = 0;
    std::string why;
    ASSERT_TRUE(hardware.ReadPciConfig(0, 0x1F, 3, 0x20, value, why)) << why;
    EXPECT_EQ(value, 0x0000'EF01u);
    ASSERT_TRUE(hardware.ReadPciConfig(0, 0x1F, 3, 0x00, value, why));
    EXPECT_EQ(value, 0x2930'8086u);
    ASSERT_TRUE(hardware.ReadPciConfig(2, 0x03, 0, 0x00, value, why));
    EXPECT_EQ(value, 0xFFFF'FFFFu);
    EXPECT_EQ(hardware.Controllers().size(), 1u);
}

// The kernel's resource warning as kernels of both widths print it: the
// SystemIO range the driver asked for must cover the port.
TEST(AcpiRegionOver, FindsTheOpRegionWhoseWarningCoversThePort) {
    const std::string log =
        "i2c i2c-0: adapter registered\n"
        "ACPI Warning: SystemIO range 0x0000E800-0x0000E807 conflicts with OpRegion 0x0000E800-0x0000E80F "
        "(\\SM00) (20090903/utaddress-272)\n"
        "ACPI Warning: SystemIO range 0x000000000000EF00-0x000000000000EF1F conflicts with OpRegion "
        "0x000000000000EF00-0x000000000000EF0F (\\_SB.PCI0.SBUS.SMBI) (20220331/utaddress-204)\n";
    EXPECT_EQ(AcpiRegionOver(log, 0xE800), std::optional<std::string>("\\SM00"));
    EXPECT_EQ(AcpiRegionOver(log, 0xEF00), std::optional<std::string>("\\_SB.PCI0.SBUS.SMBI"));
    EXPECT_EQ(AcpiRegionOver(log, 0x0700), std::nullopt);
    EXPECT_EQ(AcpiRegionOver(log, 0xE808), std::nullopt);  // past the range the driver asked for
    EXPECT_EQ(AcpiRegionOver("", 0xE800), std::nullopt);
}

// A controller no kernel driver took, and the kernel log says why; the
// records come as /dev/kmsg hands them out.
TEST_F(FakeFiles, AControllerTheKernelDeclinedForAcpiNamesItsRegion) {
    Device("0000:00:1f.3", Ich(0x0000'EF01));
    std::ofstream(root_ + "/kmsg")
        << "6,100,5000,-;ACPI: bus type PCI registered\n"
        << "4,512,9000,-;ACPI Warning: SystemIO range 0x000000000000EF00-0x000000000000EF1F conflicts with "
           "OpRegion 0x000000000000EF00-0x000000000000EF0F (\\SMBI) (20220331/utaddress-204)\n"
        << " SUBSYSTEM=pci\n";
    const auto found = Hardware().Controllers();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].acpiRegion, "\\SMBI");
}

}  // namespace
}  // namespace vc::helper
