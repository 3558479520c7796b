// The service-manager, account and group calls `vcctl driver` needs, found
// at run time: vcctl.exe also runs on Windows 98, whose loader refuses a
// program that imports a function its DLLs lack, so none of these is
// imported. Present only on the NT family.
#pragma once

#include <windows.h>

namespace vc::ntdriver {

struct ServiceCalls {
    SC_HANDLE(WINAPI* OpenSCManagerA)(LPCSTR, LPCSTR, DWORD) = nullptr;
    SC_HANDLE(WINAPI* OpenServiceA)(SC_HANDLE, LPCSTR, DWORD) = nullptr;
    SC_HANDLE(WINAPI* CreateServiceA)(SC_HANDLE, LPCSTR, LPCSTR, DWORD, DWORD, DWORD, DWORD, LPCSTR, LPCSTR,
                                      LPDWORD, LPCSTR, LPCSTR, LPCSTR) = nullptr;
    BOOL(WINAPI* StartServiceA)(SC_HANDLE, DWORD, LPCSTR*) = nullptr;
    BOOL(WINAPI* ControlService)(SC_HANDLE, DWORD, LPSERVICE_STATUS) = nullptr;
    BOOL(WINAPI* QueryServiceStatus)(SC_HANDLE, LPSERVICE_STATUS) = nullptr;
    BOOL(WINAPI* DeleteService)(SC_HANDLE) = nullptr;
    BOOL(WINAPI* CloseServiceHandle)(SC_HANDLE) = nullptr;
    BOOL(WINAPI* LookupAccountNameA)(LPCSTR, LPCSTR, PSID, LPDWORD, LPSTR, LPDWORD, PSID_NAME_USE) = nullptr;
    // netapi32: NET_API_STATUS NetLocalGroupAdd(LPCWSTR server, DWORD level, LPBYTE buf, LPDWORD parm_err).
    DWORD(WINAPI* NetLocalGroupAdd)(LPCWSTR, DWORD, LPBYTE, LPDWORD) = nullptr;

    // True when every call was found (the NT family).
    bool Load();
};

// Closes a service-manager handle at the end of a scope.
class ServiceHandle {
public:
    ServiceHandle(const ServiceCalls& calls, SC_HANDLE handle) : calls_(calls), handle_(handle) {}
    ~ServiceHandle() {
        if (handle_ != nullptr) calls_.CloseServiceHandle(handle_);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    SC_HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    const ServiceCalls& calls_;
    SC_HANDLE handle_;
};

}  // namespace vc::ntdriver
