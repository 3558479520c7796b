#include "helper/linux_hardware.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "core/base/little_endian.h"
#include "core/hw/smbus_controller_reset.h"
#include "core/hw/smbus_port_transfer.h"
#include "helper/i2c_dev_adapter.h"
#include "helper/port_smbus.h"
#include "helper/smbus_controllers.h"
#include "helper/wire_watch.h"

extern char** environ;

namespace vc::helper {

namespace {

namespace fs = std::filesystem;

// The AMD request is answered from the same register as the Intel one.
// MSR 0x2A is EBL_CR_POWERON, the P6 family's hard power-on configuration
// (Intel SDM vol. 3, "MSRs in the P6 family": the clock frequency ratio in
// bits 22-25, bit 27 on later parts), which the program decodes for Intel.
// For AMD it decodes bits 24-27 as 3.0 + code / 2. The Athlon (K7) has a
// readable MSR 0x2A (x86info dumps it on that processor), but we found no
// public AMD document of its bits; the K6's documented ratio register is
// PSOR (MSR C000_0087h, bits 2-0, Embedded AMD-K6 BIOS Design Guide). A
// processor without MSR 0x2A faults the read, the msr driver answers EIO
// and the request fails.
constexpr off_t kConfigWordMsr = 0x2A;

// Reads exactly `size` bytes at `offset`; false with errno's text otherwise.
bool ReadAt(const std::string& path, off_t offset, void* buffer, size_t size, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = path + ": " + std::strerror(errno);
        return false;
    }
    auto* bytes = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, bytes + done, size - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            why = path + ": " + (got < 0 ? std::strerror(errno) : "short read");
            ::close(fd);
            return false;
        }
        done += static_cast<size_t>(got);
    }
    ::close(fd);
    return true;
}

bool RunModprobe(const std::string& module) {
    const char* program = "modprobe";
    for (const char* candidate : {"/sbin/modprobe", "/usr/sbin/modprobe", "/bin/modprobe", "/usr/bin/modprobe"}) {
        if (::access(candidate, X_OK) == 0) {
            program = candidate;
            break;
        }
    }
    std::string quiet = "-q";
    std::string name = module;
    std::string argv0 = "modprobe";
    char* argv[] = {argv0.data(), quiet.data(), name.data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string PciFunctionName(uint8_t bus, uint8_t device, uint8_t function) {
    char name[32];
    std::snprintf(name, sizeof name, "0000:%02x:%02x.%x", bus, device, function);
    return name;
}

}  // namespace

namespace {

// The kernel's ACPI resource warnings among the records its log holds now,
// one a line (a record is "level,seq,time,flags;text", its dictionary lines
// start with a blank); empty when it cannot be read (the probe then says
// nothing of ACPI).
std::string ReadAcpiWarnings(const std::string& path) {
    std::string raw;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return raw;
    char record[8192];
    for (;;) {
        const ssize_t got = ::read(fd, record, sizeof record);
        if (got < 0 && errno == EPIPE) continue;  // overwritten while reading: the next one
        if (got <= 0) break;
        raw.append(record, static_cast<size_t>(got));
        if (raw.back() != '\n') raw += '\n';
    }
    ::close(fd);
    std::string text;
    for (size_t start = 0, end = 0; start < raw.size(); start = end + 1) {
        end = raw.find('\n', start);
        if (raw[start] == ' ') continue;
        const size_t semicolon = raw.find(';', start);
        const size_t from = semicolon != std::string::npos && semicolon < end ? semicolon + 1 : start;
        const std::string line = raw.substr(from, end - from);
        if (line.find("conflicts with OpRegion") != std::string::npos) text += line + '\n';
    }
    return text;
}

}  // namespace

LinuxHardware::LinuxHardware(LinuxPaths paths, LogSink log)
    : paths_(std::move(paths)), log_(std::move(log)), pci_(paths_.sysRoot) {
    for (const std::string& name : pci_.KeepOpen(HelperRegisterBeyondHeader)) {
        log_("PCI configuration of " + name + " reads 64 bytes only: the helper needs CAP_SYS_ADMIN when it starts");
    }
    // Now, while CAP_SYS_ADMIN is held: with dmesg_restrict the kernel lets
    // nobody else read its log. Its ACPI warnings date from boot.
    acpiWarnings_ = ReadAcpiWarnings(paths_.kernelLog);
}

bool LinuxHardware::LoadModuleOnce(const std::string& module) {
    if (!paths_.loadModules || !modulesTried_.insert(module).second) return false;
    const bool loaded = RunModprobe(module);
    log_("modprobe " + module + (loaded ? ": loaded" : ": failed"));
    return true;
}

bool LinuxHardware::ReadBiosWindow(std::vector<uint8_t>& window, std::string& why) {
    window.assign(kBiosWindowSize, 0);
    return ReadAt(paths_.devMem, static_cast<off_t>(kBiosWindowAddress), window.data(), window.size(), why);
}

bool LinuxHardware::ReadConfigWord(uint32_t& word, std::string& why) {
    uint8_t value[8] = {};
    bool ok = ReadAt(paths_.msr, kConfigWordMsr, value, sizeof value, why);
    if (!ok && !fs::exists(paths_.msr) && LoadModuleOnce("msr")) {
        ok = ReadAt(paths_.msr, kConfigWordMsr, value, sizeof value, why);
    }
    if (ok) word = GetLe32(value, 0);
    return ok;
}

bool LinuxHardware::ReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t& value,
                                  std::string& why) {
    const std::string name = PciFunctionName(bus, device, function);
    if (!pci_.Exists(name)) {
        value = 0xFFFFFFFF;  // nobody answers the configuration cycle
        return true;
    }
    uint8_t bytes[4] = {};
    if (!pci_.Read(name, reg & 0xFC, bytes, why)) return false;
    value = GetLe32(bytes, 0);
    return true;
}

std::vector<SmbusController> LinuxHardware::Controllers() {
    std::vector<SmbusController> found = FindSmbusControllers(pci_);
    for (SmbusController& c : found) {
        if (c.KernelOwned() || c.ioBase == 0) continue;
        if (auto region = AcpiRegionOver(acpiWarnings_, c.ioBase)) c.acpiRegion = *region;
    }
    return found;
}

bool LinuxHardware::StillUnowned(const SmbusController& controller) const {
    // Anything but a clear "no driver link" counts as owned, and so does an
    // adapter a driver registered without binding the device (i2c-viapro).
    std::error_code error;
    const fs::path device = fs::path(paths_.sysRoot) / "bus/pci/devices" / controller.pci;
    if (fs::symlink_status(device / "driver", error).type() != fs::file_type::not_found) return false;
    for (const auto& entry : fs::directory_iterator(device, error)) {
        if (entry.path().filename().string().rfind("i2c-", 0) == 0) return false;
    }
    return !error;
}

WriteOutcome LinuxHardware::WriteClockGen(const SmbusController& controller, const ClockGenWrite& write,
                                         std::string& how) {
    return controller.KernelOwned() ? WriteThroughKernel(controller, write, how)
                                    : WriteOnPorts(controller, write, how);
}

WriteOutcome LinuxHardware::WriteThroughKernel(const SmbusController& controller, const ClockGenWrite& write,
                                               std::string& how) {
    if (controller.adapter.empty()) {
        how = "through " + controller.driver + " (no adapter found)";
        return WriteOutcome::Failed;
    }
    how = "through " + controller.adapter;
    auto adapter = std::make_unique<I2cDevAdapter>(controller.adapter, write.address7);
    if (!adapter->ok() && adapter->missing() && LoadModuleOnce("i2c-dev")) {
        adapter = std::make_unique<I2cDevAdapter>(controller.adapter, write.address7);
    }
    if (!adapter->ok()) {
        how += " (" + adapter->why() + ")";
        return WriteOutcome::Failed;
    }
    if (!adapter->note().empty()) how += " " + adapter->note();
    if (!adapter->Supports(write.variant)) {
        how += " (the adapter lacks a transfer the sequence needs)";
        return WriteOutcome::Failed;
    }
    // The kernel owns the registers, so the known state comes from a
    // transfer of its own: a read that starts (and so ends) whatever the last
    // transfer left counted as under way, without writing to the device.
    adapter->Answers();
    std::string why;
    if (RunAdapterWrite(*adapter, write.variant, write.firstByteMask, write.data, why)) return WriteOutcome::Done;
    how += " (" + why + ")";
    return adapter->NothingWritten() ? WriteOutcome::NotSent : WriteOutcome::Failed;
}

WriteOutcome LinuxHardware::WriteOnPorts(const SmbusController& controller, const ClockGenWrite& write,
                                         std::string& how) {
    how = "on ports";
    FileLock lock(paths_.lockFile);
    if (!lock.held()) {
        how += " (lock " + lock.why() + ")";
        return WriteOutcome::Failed;
    }
    // A driver may have been bound since the controllers were listed.
    if (!StillUnowned(controller)) {
        how += " (a kernel driver took the controller)";
        return WriteOutcome::Failed;
    }
    IoPorts ports(controller.ioBase);
    if (!ports.ok()) {
        how += " (" + ports.why() + ")";
        return WriteOutcome::Failed;
    }
    ResetIdleController(ports, controller.kind, controller.ioBase);
    WireWatch watched(ports, controller.ioBase);
    const auto address8 = static_cast<uint8_t>(write.address7 << 1);
    const SmbusTarget target{controller.ioBase, address8, static_cast<uint8_t>(address8 | 1), write.firstByteMask};
    const PortTransfer result = RunPortWrite(watched, controller.kind, write.variant, target, write.data);
    if (result == PortTransfer::Done) return WriteOutcome::Done;
    how += std::string(" (") + PortTransferText(result) + ")";
    return watched.NothingSent() ? WriteOutcome::NotSent : WriteOutcome::Failed;
}

std::optional<bool> LinuxHardware::DeviceAnswers(const SmbusController& controller, uint8_t address7) {
    if (controller.KernelOwned()) {
        if (controller.adapter.empty()) return std::nullopt;
        auto adapter = std::make_unique<I2cDevAdapter>(controller.adapter, address7);
        if (!adapter->ok() && adapter->missing() && LoadModuleOnce("i2c-dev")) {
            adapter = std::make_unique<I2cDevAdapter>(controller.adapter, address7);
        }
        return adapter->ok() ? adapter->Answers() : std::nullopt;
    }
    FileLock lock(paths_.lockFile);
    if (!lock.held() || !StillUnowned(controller)) return std::nullopt;
    IoPorts ports(controller.ioBase);
    if (!ports.ok()) return std::nullopt;
    return PortDeviceAnswers(ports, controller.kind, controller.ioBase, address7);
}

int32_t LinuxHardware::ReadClockGenBlock(const SmbusController& controller, uint8_t address7,
                                         std::span<uint8_t> block) {
    if (controller.KernelOwned()) {
        if (controller.adapter.empty()) return -1;
        I2cDevAdapter adapter(controller.adapter, address7);
        if (!adapter.ok()) return -1;
        const auto bytes = adapter.ReadBlock(0x00);
        if (!bytes) return -1;
        std::copy_n(bytes->begin(), std::min(bytes->size(), block.size()), block.begin());
        return static_cast<int32_t>(bytes->size());
    }
    FileLock lock(paths_.lockFile);
    if (!lock.held() || !StillUnowned(controller)) return -1;
    IoPorts ports(controller.ioBase);
    if (!ports.ok()) return -1;
    return PortBlockRead(ports, controller.kind, controller.ioBase, address7, block);
}

}  // namespace vc::helper
