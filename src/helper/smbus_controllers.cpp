#include "helper/smbus_controllers.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/base/little_endian.h"
#include "core/hw/host_bridge_registers.h"
#include "core/hw/smbus_access.h"
#include "core/hw/smbus_controller_table.h"
#include "core/hw/smbus_functions.h"
#include "core/hw/smbus_pci_registers.h"

namespace vc::helper {

namespace {

namespace fs = std::filesystem;

constexpr size_t kConfigBytes = 256;
// The table's row for a function's header; nothing for a function whose IDs
// are not in the table.
const KnownSmbusFunction* FamilyOf(std::span<const uint8_t> config) {
    if (config.size() < kPciHeaderBytes) return nullptr;
    return FindKnownSmbusFunction(GetLe<uint16_t>(config, 0), GetLe<uint16_t>(config, 2));
}

// The function number of a sysfs name ("0000:00:07.3"): the table says
// which function of its device a controller's host sits at.
bool AtItsFunction(const KnownSmbusFunction& known, const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && dot + 2 == name.size() && name[dot + 1] == static_cast<char>('0' + known.function);
}

std::string ReadLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string BoundDriver(const fs::path& device) {
    std::error_code error;
    const fs::path target = fs::read_symlink(device / "driver", error);
    return error ? std::string() : target.filename().string();
}

// "i2c-N" entries right under the PCI device: the adapters it registered.
std::vector<std::pair<int, std::string>> AdaptersOf(const fs::path& device) {
    std::vector<std::pair<int, std::string>> adapters;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(device, error)) {
        const std::string name = entry.path().filename().string();
        int number = -1;
        char rest = 0;
        if (std::sscanf(name.c_str(), "i2c-%d%c", &number, &rest) != 1 || number < 0) continue;
        adapters.emplace_back(number, ReadLine(entry.path() / "name"));
    }
    std::sort(adapters.begin(), adapters.end());
    return adapters;
}

}  // namespace

std::optional<uint8_t> SmbusRegisterBeyondHeader(std::span<const uint8_t> header) {
    const KnownSmbusFunction* known = FamilyOf(header);
    if (known == nullptr) return std::nullopt;
    return known->enableRegister;
}

std::optional<uint8_t> HelperRegisterBeyondHeader(const std::string& name, std::span<const uint8_t> header) {
    if (name == kHostBridge) return kHostBridgeMemClassRegister;
    return SmbusRegisterBeyondHeader(header);
}

std::optional<SmbusController> ClassifySmbusFunction(std::span<const uint8_t> config) {
    if (config.size() < kConfigBytes) return std::nullopt;
    const KnownSmbusFunction* known = FamilyOf(config);
    if (known == nullptr) return std::nullopt;
    const auto shown = privileged::ControllerOf(*known, GetLe32(config, 0), GetLe32(config, smbus_pci::kCommandRegister),
                                                GetLe32(config, known->baseRegister),
                                                GetLe32(config, known->enableRegister & 0xFC));
    if (!shown) return std::nullopt;
    SmbusController c;
    c.vendor = shown->vendor;
    c.device = shown->deviceId;
    c.kind = shown->kind;
    c.ioBase = shown->ioBase;
    c.enabled = shown->enabled;
    c.baseRegister = shown->baseRegister;
    c.enableRegister = shown->enableRegister;
    return c;
}

int PickAdapter(const std::vector<std::pair<int, std::string>>& adapters, uint16_t ioBase) {
    if (adapters.size() == 1) return adapters.front().first;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "at %04x", static_cast<unsigned>(ioBase));
    const std::string wanted = suffix;
    for (const auto& [number, name] : adapters) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return std::tolower(ch); });
        if (lower.size() >= wanted.size() && lower.compare(lower.size() - wanted.size(), wanted.size(), wanted) == 0) {
            return number;
        }
    }
    return -1;
}

std::optional<std::string> AcpiRegionOver(const std::string& kernelLog, uint16_t ioBase) {
    static const std::string kRange = "SystemIO range 0x";
    static const std::string kOpRegion = "conflicts with OpRegion 0x";
    for (size_t at = kernelLog.find(kRange); at != std::string::npos; at = kernelLog.find(kRange, at + 1)) {
        const size_t end = kernelLog.find('\n', at);
        const std::string line = kernelLog.substr(at, end == std::string::npos ? std::string::npos : end - at);
        unsigned long long first = 0, last = 0;
        if (std::sscanf(line.c_str() + kRange.size() - 2, "%llx-%llx", &first, &last) != 2) continue;
        if (ioBase < first || ioBase > last) continue;
        const size_t region = line.find(kOpRegion);
        const size_t open = line.find('(', region == std::string::npos ? line.size() : region);
        const size_t close = line.find(')', open == std::string::npos ? line.size() : open);
        if (region == std::string::npos || open == std::string::npos || close == std::string::npos) continue;
        std::string name = line.substr(open + 1, close - open - 1);
        // Only what an ACPI path holds goes into the report.
        const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char ch) {
            return std::isalnum(ch) != 0 || ch == '_' || ch == '.' || ch == '\\' || ch == '^';
        });
        if (!plain) name = "unnamed";
        return name;
    }
    return std::nullopt;
}

std::vector<SmbusController> FindSmbusControllers(const PciConfigFiles& pci) {
    std::vector<SmbusController> found;
    for (const std::string& name : pci.Functions()) {
        std::array<uint8_t, kPciHeaderBytes> header{};
        std::array<uint8_t, kConfigBytes> config{};
        std::string why;
        if (!pci.Read(name, 0, header, why)) continue;
        const KnownSmbusFunction* known = FamilyOf(header);
        if (known == nullptr || !AtItsFunction(*known, name)) continue;
        // The header, the base and the host enable: nothing else is read.
        std::copy(header.begin(), header.end(), config.begin());
        const size_t base = known->baseRegister & 0xFC;
        const size_t enable = known->enableRegister & 0xFC;
        if (!pci.Read(name, base, std::span(config).subspan(base, 4), why) ||
            !pci.Read(name, enable, std::span(config).subspan(enable, 4), why)) {
            continue;
        }
        auto c = ClassifySmbusFunction(config);
        if (!c) continue;
        const fs::path device = fs::path(pci.sysRoot()) / "bus/pci/devices" / name;
        c->pci = name;
        c->driver = BoundDriver(device);
        if (c->KernelOwned() && c->driver != known->linuxDriver) continue;
        const auto adapters = AdaptersOf(device);
        // i2c-viapro registers its adapter but leaves the device unbound (so
        // that the hardware-monitor driver may bind it): an adapter under the
        // function means its kernel driver serves it all the same.
        if (!c->KernelOwned() && !adapters.empty()) c->driver = known->linuxDriver;
        if (c->KernelOwned()) {
            const int adapter = PickAdapter(adapters, c->ioBase);
            if (adapter >= 0) c->adapter = "/dev/i2c-" + std::to_string(adapter);
        }
        found.push_back(*c);
    }
    return found;
}

std::vector<SmbusController> FindSmbusControllers(const std::string& sysRoot) {
    PciConfigFiles pci(sysRoot);
    pci.KeepOpen(HelperRegisterBeyondHeader);
    return FindSmbusControllers(pci);
}

}  // namespace vc::helper
