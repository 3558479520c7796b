// PCI configuration space from sysfs. The kernel gives a reader without
// CAP_SYS_ADMIN only the first 64 bytes of a function (reading undefined
// registers locks some chipsets up, the PIIX4 among them), and it judges by
// the credentials the file was opened with. So the helper opens the files
// of the few functions whose later registers it needs (the host bridge and
// the SMBus functions) while it starts, keeps them open, and then gives the
// capability up; every other function it reads as anybody may.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vc::helper {

// The first bytes of every function's space, the standard header.
inline constexpr size_t kPciHeaderBytes = 64;
inline constexpr size_t kPciConfigBytes = 256;
inline constexpr const char* kHostBridge = "0000:00:00.0";

class PciConfigFiles {
public:
    explicit PciConfigFiles(std::string sysRoot);
    ~PciConfigFiles();
    PciConfigFiles(const PciConfigFiles&) = delete;
    PciConfigFiles& operator=(const PciConfigFiles&) = delete;

    // For a function's name and header: the register beyond the header the
    // helper will read there, or nothing when it reads none.
    using Needs = std::function<std::optional<uint8_t>(const std::string& name, std::span<const uint8_t> header)>;

    // Keeps the files of the functions that need a register beyond the
    // header open. The answer names those where that register cannot be
    // read through them (opened without the capability).
    std::vector<std::string> KeepOpen(const Needs& needs);

    // The function names ("0000:00:1f.3") under bus/pci/devices, sorted.
    std::vector<std::string> Functions() const;
    bool Exists(const std::string& name) const;
    bool KeptOpen(const std::string& name) const { return kept_.count(name) != 0; }
    // Exactly `bytes.size()` bytes at `offset`; false with `why` otherwise.
    bool Read(const std::string& name, size_t offset, std::span<uint8_t> bytes, std::string& why) const;

    const std::string& sysRoot() const { return sysRoot_; }

private:
    std::string ConfigPath(const std::string& name) const;

    std::string sysRoot_;
    std::map<std::string, int> kept_;
};

}  // namespace vc::helper
