#include "helper/pci_config_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace vc::helper {

namespace {

namespace fs = std::filesystem;

bool ReadFd(int fd, size_t offset, std::span<uint8_t> bytes, std::string& why) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            why = got < 0 ? std::strerror(errno) : "short read";
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

}  // namespace

PciConfigFiles::PciConfigFiles(std::string sysRoot) : sysRoot_(std::move(sysRoot)) {}

PciConfigFiles::~PciConfigFiles() {
    for (const auto& [name, fd] : kept_) ::close(fd);
}

std::string PciConfigFiles::ConfigPath(const std::string& name) const {
    return sysRoot_ + "/bus/pci/devices/" + name + "/config";
}

std::vector<std::string> PciConfigFiles::Functions() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(sysRoot_) / "bus/pci/devices", error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool PciConfigFiles::Exists(const std::string& name) const {
    std::error_code error;
    return fs::exists(fs::path(sysRoot_) / "bus/pci/devices" / name, error);
}

std::vector<std::string> PciConfigFiles::KeepOpen(const Needs& needs) {
    std::vector<std::string> limited;
    for (const std::string& name : Functions()) {
        if (kept_.count(name) != 0) continue;
        const int fd = ::open(ConfigPath(name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        uint8_t header[kPciHeaderBytes];
        std::string why;
        const auto reg = ReadFd(fd, 0, header, why) ? needs(name, header) : std::nullopt;
        if (!reg) {
            ::close(fd);
            continue;
        }
        kept_[name] = fd;
        // Only the register it needs: undefined ones may hang the chip.
        uint8_t dword[4];
        if (!ReadFd(fd, *reg & 0xFC, dword, why)) limited.push_back(name);
    }
    return limited;
}

bool PciConfigFiles::Read(const std::string& name, size_t offset, std::span<uint8_t> bytes, std::string& why) const {
    const std::string path = ConfigPath(name);
    const auto kept = kept_.find(name);
    int fd = kept != kept_.end() ? kept->second : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = path + ": " + std::strerror(errno);
        return false;
    }
    std::string failure;
    const bool ok = ReadFd(fd, offset, bytes, failure);
    if (kept == kept_.end()) ::close(fd);
    if (!ok) why = path + ": " + failure;
    return ok;
}

}  // namespace vc::helper
