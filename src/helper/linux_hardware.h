// The helper's hardware on Linux:
// - the BIOS window from /dev/mem (the first megabyte is readable even with
//   strict /dev/mem);
// - MSR 0x2A through the msr driver (/dev/cpu/0/msr);
// - PCI configuration from sysfs, the later registers of the host bridge
//   and the SMBus functions through the files kept open at start-up;
// - SMBus writes through the kernel adapter's i2c-dev node when a kernel
//   driver owns the controller, on the controller's ports otherwise;
// - for a controller no kernel driver took, the kernel log's word on why
//   when ACPI claims its ports (reported by the probe).
// A missing msr or i2c-dev node has its module loaded once.
#pragma once

#include <set>
#include <string>

#include "helper/helper_hardware.h"
#include "helper/log.h"
#include "helper/pci_config_files.h"

namespace vc::helper {

struct LinuxPaths {
    std::string sysRoot = "/sys";
    std::string devMem = "/dev/mem";
    std::string msr = "/dev/cpu/0/msr";
    // One lock for every copy of the helper, whatever socket it serves: in
    // /run, where only root creates files.
    std::string lockFile = "/run/velocore-driverd.lock";
    bool loadModules = true;  // modprobe msr / i2c-dev when their nodes are missing
    // The kernel's message buffer, read for the ACPI resource warnings that
    // tell why a kernel driver declined a controller (a /dev/kmsg-style
    // file: one record a read, "level,seq,time,-;text").
    std::string kernelLog = "/dev/kmsg";
};

class LinuxHardware final : public HelperHardware {
public:
    // Opens the configuration files it keeps (see pci_config_files.h).
    LinuxHardware(LinuxPaths paths, LogSink log);

    bool ReadBiosWindow(std::vector<uint8_t>& window, std::string& why) override;
    bool ReadConfigWord(uint32_t& word, std::string& why) override;
    bool ReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t& value,
                       std::string& why) override;
    std::vector<SmbusController> Controllers() override;
    WriteOutcome WriteClockGen(const SmbusController& controller, const ClockGenWrite& write, std::string& how) override;
    std::optional<bool> DeviceAnswers(const SmbusController& controller, uint8_t address7) override;
    int32_t ReadClockGenBlock(const SmbusController& controller, uint8_t address7,
                              std::span<uint8_t> block) override;

private:
    // modprobe `module`, the first time only; whether it was tried now.
    bool LoadModuleOnce(const std::string& module);
    bool StillUnowned(const SmbusController& controller) const;
    WriteOutcome WriteThroughKernel(const SmbusController& controller, const ClockGenWrite& write, std::string& how);
    WriteOutcome WriteOnPorts(const SmbusController& controller, const ClockGenWrite& write, std::string& how);

    LinuxPaths paths_;
    LogSink log_;
    PciConfigFiles pci_;
    std::set<std::string> modulesTried_;
    // The kernel log's ACPI resource warnings, read at start-up.
    std::string acpiWarnings_;
};

}  // namespace vc::helper
