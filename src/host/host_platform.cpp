// The driver and port part of this computer. On Linux the hardware is
// reached through the privileged helper: when its socket exists the platform
// reports the NT family (version 5.0), and opening the NT port driver's
// device connects to the helper. There is no direct port access for the
// program itself, and no BIOS window handed out (the helper searches it).
#include "core/hw/hw_driver.h"
#include "host/host_machine.h"

namespace vc {

namespace {
constexpr uint32_t kHelperMajorVersion = 5;  // presents itself as Windows 2000
}  // namespace

HostPlatform::HostPlatform() = default;
HostPlatform::~HostPlatform() = default;

OsVersion HostPlatform::GetOsVersion() {
    if (!host::HelperSocketPresent(host::HelperSocketPath())) return OsVersion{};
    return OsVersion{kPlatformNt, kHelperMajorVersion, 0};
}

DeviceHandle HostPlatform::OpenDevice(const std::string& name, DeviceOpenMode mode) {
    if (name != kNtDriverName || mode != DeviceOpenMode::NtShared) return kNoDevice;
    auto connection = std::make_unique<host::HelperConnection>();
    if (!connection->Connect(host::HelperSocketPath())) {
        Note(host::ConnectProblem(connection->connectError()));
        return kNoDevice;
    }
    const DeviceHandle handle = nextHandle_++;
    connections_[handle] = std::move(connection);
    return handle;
}

void HostPlatform::CloseDevice(DeviceHandle handle) { connections_.erase(handle); }

bool HostPlatform::DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) {
    const auto found = connections_.find(handle);
    if (found == connections_.end()) return false;
    host::HelperConnection& connection = *found->second;
    if (connection.Exchange(request)) return true;
    if (connection.refusedWithoutAnswer()) {
        Note({host::HelperProblemKind::Refused, 0});
    } else if (connection.connectError() != 0) {  // opening it again failed
        Note(host::ConnectProblem(connection.connectError()));
    }
    return false;
}

void HostPlatform::Note(const host::HelperProblem& problem) {
    if (!problem_.empty()) return;
    const std::string path = host::HelperSocketPath();
    problem_ = host::ExplainHelperProblem(problem, path, host::StandingOf(path));
    if (report_ && !problem_.empty()) report_(problem_);
}

std::span<const uint8_t> HostPlatform::ResolveBiosWindow(uint32_t) { return {}; }

uint8_t HostPlatform::InPort8(uint16_t) { return 0xFF; }

void HostPlatform::OutPort8(uint16_t, uint8_t) {}

uint32_t HostPlatform::InPort32(uint16_t) { return 0xFFFFFFFFu; }

void HostPlatform::OutPort32(uint16_t, uint32_t) {}

}  // namespace vc
