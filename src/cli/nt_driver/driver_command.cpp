#include <windows.h>
#include <lm.h>
// wingdi.h's TextOut macro would rename the console writer.
#undef TextOut

#include "cli/nt_driver/driver_command.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/base/file_io.h"
#include "cli/nt_driver/service_calls.h"
#include "host/executable_path.h"

namespace vc::ntdriver {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr size_t kDriverFileLimit = 1 << 20;
constexpr DWORD kSidMax = 68;  // 8 + 15 sub-authorities
constexpr DWORD kGroupExists = 1379;        // ERROR_ALIAS_EXISTS
constexpr DWORD kNetGroupExists = 2223;     // NERR_GroupExists
constexpr const char* kUsage = "usage: vcctl driver install | start | stop | remove | status\n";

std::string Error(DWORD code) { return "error " + std::to_string(code); }

std::string Folder(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// gpddev.sys beside vcctl.exe, and where the service loads it from.
std::string OurDriverPath() { return Folder(host::ExecutablePath()) + "\\" + kDriverFile; }

std::string InstalledDriverPath() {
    char system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system) return {};
    return std::string(system) + "\\drivers\\" + kDriverFile;
}

struct Context {
    ServiceCalls calls;
    cli::TextOut& out;
    cli::TextOut& err;
};

// The service manager with `access`; prints why not.
SC_HANDLE OpenManager(Context& c, DWORD access, const char* command) {
    SC_HANDLE manager = c.calls.OpenSCManagerA(nullptr, nullptr, access);
    if (manager == nullptr) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED)
            c.err << "vcctl: driver " << command << ": only an administrator may do this (the service manager "
                  << "refused: " << Error(error) << ")\n";
        else
            c.err << "vcctl: driver " << command << ": cannot open the service manager: " << Error(error) << '\n';
    }
    return manager;
}

std::optional<SERVICE_STATUS> QueryStatus(Context& c, SC_HANDLE service) {
    SERVICE_STATUS status{};
    if (!c.calls.QueryServiceStatus(service, &status)) return std::nullopt;
    return status;
}

enum class InstalledFile { Same, Other, Missing };

InstalledFile CompareInstalled(const std::vector<uint8_t>& ours) {
    const auto installed = ReadFileBytes(InstalledDriverPath(), kDriverFileLimit);
    if (!installed) return InstalledFile::Missing;
    return *installed == ours ? InstalledFile::Same : InstalledFile::Other;
}

// The access group's SID: the group made when it is not there yet. None
// when the system has no such group and cannot make one.
std::optional<std::vector<uint8_t>> AccessGroupSid(Context& c) {
    std::wstring name(kAccessGroup, kAccessGroup + std::char_traits<char>::length(kAccessGroup));
    std::wstring comment = L"May change the bus clock through the Velocore port driver";
    LOCALGROUP_INFO_1 info{name.data(), comment.data()};
    const DWORD made = c.calls.NetLocalGroupAdd(nullptr, 1, reinterpret_cast<LPBYTE>(&info), nullptr);
    if (made != 0 && made != kGroupExists && made != kNetGroupExists) {
        c.err << "vcctl: driver install: cannot make the local group " << kAccessGroup << ": " << Error(made) << '\n';
    }
    std::vector<uint8_t> sid(kSidMax);
    DWORD sidSize = static_cast<DWORD>(sid.size());
    char domain[256] = {};
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use{};
    if (!c.calls.LookupAccountNameA(nullptr, kAccessGroup, sid.data(), &sidSize, domain, &domainSize, &use) ||
        (use != SidTypeAlias && use != SidTypeGroup)) {
        return std::nullopt;
    }
    // Revision 1, then the count of 32-bit sub-authorities after 8 bytes.
    if (sidSize < 8 || sid[0] != 1 || sid[1] == 0 || sid[1] > 15 || 8u + 4u * sid[1] > sidSize) return std::nullopt;
    sid.resize(8u + 4u * sid[1]);
    return sid;
}

bool WriteGroupSid(const std::vector<uint8_t>& sid) {
    const std::string keyPath = std::string("SYSTEM\\CurrentControlSet\\Services\\") + kServiceName;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    const LONG set =
        RegSetValueExA(key, "AccessGroupSid", 0, REG_BINARY, sid.data(), static_cast<DWORD>(sid.size()));
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

int Install(Context& c) {
    const std::string ourPath = OurDriverPath();
    const auto ours = ReadFileBytes(ourPath, kDriverFileLimit);
    if (!ours) {
        c.err << "vcctl: driver install: " << ourPath << " is missing: the driver must lie beside vcctl.exe\n";
        return kExitFailed;
    }
    ServiceHandle manager(c.calls, OpenManager(c, SC_MANAGER_ALL_ACCESS, "install"));
    if (!manager) return kExitFailed;
    {
        ServiceHandle existing(c.calls, c.calls.OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
        if (existing) {
            const auto status = QueryStatus(c, existing.get());
            const bool running = status && status->dwCurrentState != SERVICE_STOPPED;
            const InstalledFile file = CompareInstalled(*ours);
            if (file == InstalledFile::Same) {
                c.out << "driver: already installed, the same version as " << ourPath << '\n';
                return kExitOk;
            }
            if (file == InstalledFile::Missing) {
                c.err << "vcctl: driver install: the service is installed but " << InstalledDriverPath()
                      << " is missing; run 'vcctl driver remove' first\n";
            } else if (running) {
                c.err << "vcctl: driver install: a copy of another version is running; run 'vcctl driver stop' "
                         "and 'vcctl driver remove' first\n";
            } else {
                c.err << "vcctl: driver install: another version is already installed; run 'vcctl driver "
                         "remove' first\n";
            }
            return kExitFailed;
        }
    }
    const std::string target = InstalledDriverPath();
    if (target.empty() || !ReplaceFileAtomically(target, *ours)) {
        c.err << "vcctl: driver install: cannot copy the driver to " << target << '\n';
        return kExitFailed;
    }
    // Started by the service manager at every boot, before anyone logs on,
    // so the start-up application of a saved choice finds the device.
    ServiceHandle service(c.calls, c.calls.CreateServiceA(manager.get(), kServiceName, "Velocore port driver",
                                                          SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                                          SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, kImagePath,
                                                          nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service) {
        const DWORD error = GetLastError();
        RemoveFile(target);
        c.err << "vcctl: driver install: the service manager refused the service: " << Error(error) << '\n';
        return kExitFailed;
    }
    const auto sid = AccessGroupSid(c);
    if (sid && WriteGroupSid(*sid)) {
        c.out << "driver: installed as service " << kServiceName << " (" << kImagePath << "), started at boot;\n"
              << "driver: administrators and members of the local group " << kAccessGroup << " may use it\n";
    } else {
        c.out << "driver: installed as service " << kServiceName << " (" << kImagePath << "), started at boot;\n"
              << "driver: the local group " << kAccessGroup << " could not be set up: only administrators "
              << "may use it\n";
    }
    c.out << "driver: run 'vcctl driver start' to load it now\n";
    return kExitOk;
}

// Opens the installed service with `access`; prints why not.
SC_HANDLE OpenDriverService(Context& c, SC_HANDLE manager, DWORD access, const char* command) {
    SC_HANDLE service = c.calls.OpenServiceA(manager, kServiceName, access);
    if (service == nullptr) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_DOES_NOT_EXIST)
            c.err << "vcctl: driver " << command << ": the driver is not installed ('vcctl driver install')\n";
        else if (error == ERROR_ACCESS_DENIED)
            c.err << "vcctl: driver " << command << ": only an administrator may do this (" << Error(error) << ")\n";
        else
            c.err << "vcctl: driver " << command << ": cannot open the service: " << Error(error) << '\n';
    }
    return service;
}

int Start(Context& c) {
    ServiceHandle manager(c.calls, OpenManager(c, SC_MANAGER_CONNECT, "start"));
    if (!manager) return kExitFailed;
    ServiceHandle service(c.calls,
                          OpenDriverService(c, manager.get(), SERVICE_START | SERVICE_QUERY_STATUS, "start"));
    if (!service) return kExitFailed;
    if (!c.calls.StartServiceA(service.get(), 0, nullptr)) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_ALREADY_RUNNING) {
            const auto ours = ReadFileBytes(OurDriverPath(), kDriverFileLimit);
            if (ours && CompareInstalled(*ours) == InstalledFile::Other) {
                c.err << "vcctl: driver start: a copy of another version is running; run 'vcctl driver stop', "
                         "'vcctl driver remove' and 'vcctl driver install' to use this one\n";
                return kExitFailed;
            }
            c.out << "driver: already running\n";
            return kExitOk;
        }
        if (error == ERROR_ACCESS_DENIED) {
            c.err << "vcctl: driver start: only an administrator may do this (" << Error(error) << ")\n";
        } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            c.err << "vcctl: driver start: " << InstalledDriverPath() << " is missing; run 'vcctl driver remove' "
                  << "and 'vcctl driver install'\n";
        } else {
            c.err << "vcctl: driver start: the driver did not load: " << Error(error) << '\n';
        }
        return kExitFailed;
    }
    c.out << "driver: started\n";
    return kExitOk;
}

// Stops the service when it runs: true when it is stopped afterwards.
bool StopService(Context& c, SC_HANDLE service, const char* command) {
    SERVICE_STATUS status{};
    if (c.calls.ControlService(service, SERVICE_CONTROL_STOP, &status)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_SERVICE_NOT_ACTIVE) return true;
    if (error == ERROR_ACCESS_DENIED)
        c.err << "vcctl: driver " << command << ": only an administrator may do this (" << Error(error) << ")\n";
    else
        c.err << "vcctl: driver " << command << ": the driver did not stop: " << Error(error) << '\n';
    return false;
}

int Stop(Context& c) {
    ServiceHandle manager(c.calls, OpenManager(c, SC_MANAGER_CONNECT, "stop"));
    if (!manager) return kExitFailed;
    ServiceHandle service(c.calls, OpenDriverService(c, manager.get(), SERVICE_STOP | SERVICE_QUERY_STATUS, "stop"));
    if (!service || !StopService(c, service.get(), "stop")) return kExitFailed;
    c.out << "driver: stopped\n";
    return kExitOk;
}

int Remove(Context& c) {
    ServiceHandle manager(c.calls, OpenManager(c, SC_MANAGER_ALL_ACCESS, "remove"));
    if (!manager) return kExitFailed;
    {
        ServiceHandle service(c.calls, OpenDriverService(c, manager.get(), SERVICE_ALL_ACCESS, "remove"));
        if (!service || !StopService(c, service.get(), "remove")) return kExitFailed;
        if (!c.calls.DeleteService(service.get())) {
            c.err << "vcctl: driver remove: the service manager kept the service: " << Error(GetLastError()) << '\n';
            return kExitFailed;
        }
    }
    if (!RemoveFile(InstalledDriverPath())) {
        c.err << "vcctl: driver remove: the service is gone but " << InstalledDriverPath() << " stays\n";
        return kExitFailed;
    }
    c.out << "driver: removed (the local group " << kAccessGroup << " stays; 'net localgroup " << kAccessGroup
          << " /delete' removes it)\n";
    return kExitOk;
}

const char* StateName(DWORD state) {
    switch (state) {
    case SERVICE_STOPPED: return "stopped";
    case SERVICE_START_PENDING: return "starting";
    case SERVICE_STOP_PENDING: return "stopping";
    case SERVICE_RUNNING: return "running";
    default: return "other";
    }
}

int Status(Context& c) {
    ServiceHandle manager(c.calls, OpenManager(c, SC_MANAGER_CONNECT, "status"));
    if (!manager) return kExitFailed;
    ServiceHandle service(c.calls, c.calls.OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
    if (!service) {
        c.out << "driver.service: not installed\n";
        return kExitOk;
    }
    const auto status = QueryStatus(c, service.get());
    c.out << "driver.service: " << kServiceName << '\n'
          << "driver.state: " << (status ? StateName(status->dwCurrentState) : "unknown") << '\n';
    const auto ours = ReadFileBytes(OurDriverPath(), kDriverFileLimit);
    const auto installed = ReadFileBytes(InstalledDriverPath(), kDriverFileLimit);
    c.out << "driver.file: "
          << (!installed ? "missing" : !ours ? "installed (no gpddev.sys beside vcctl.exe to compare)"
                                   : *installed == *ours ? "this version"
                                                         : "another version")
          << '\n';
    // Whether this user may open the device, as the programs open it.
    HANDLE device = CreateFileA("\\\\.\\GpdDev", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device != INVALID_HANDLE_VALUE) {
        CloseHandle(device);
        c.out << "driver.device: opens\n";
    } else {
        const DWORD error = GetLastError();
        c.out << "driver.device: cannot open (" << Error(error)
              << (error == ERROR_ACCESS_DENIED ? ": not an administrator or a member of " + std::string(kAccessGroup)
                                               : std::string())
              << ")\n";
    }
    return kExitOk;
}

}  // namespace

int RunDriverCommand(const std::vector<std::string>& args, cli::TextOut& out, cli::TextOut& err) {
    if (args.size() != 1) {
        err << kUsage;
        return kExitUsage;
    }
    Context c{{}, out, err};
    if (!c.calls.Load()) {
        err << "vcctl: driver: the port driver is for Windows NT 4, 2000 and XP; this system has no service "
               "manager to load it\n";
        return kExitFailed;
    }
    const std::string& command = args[0];
    if (command == "install") return Install(c);
    if (command == "start") return Start(c);
    if (command == "stop") return Stop(c);
    if (command == "remove") return Remove(c);
    if (command == "status") return Status(c);
    err << kUsage;
    return kExitUsage;
}

}  // namespace vc::ntdriver
