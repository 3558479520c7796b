#include "cli/nt_driver/service_calls.h"

namespace vc::ntdriver {
namespace {

template <typename F>
bool Find(HMODULE module, const char* name, F& function) {
    if (module == nullptr) return false;
    // GetProcAddress answers the generic FARPROC; the target type is the
    // one the documentation gives for `name`.
    function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return function != nullptr;
}

}  // namespace

bool ServiceCalls::Load() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
    HMODULE advapi = LoadLibraryA("advapi32.dll");
    HMODULE netapi = LoadLibraryA("netapi32.dll");
    return Find(advapi, "OpenSCManagerA", OpenSCManagerA) && Find(advapi, "OpenServiceA", OpenServiceA) &&
           Find(advapi, "CreateServiceA", CreateServiceA) && Find(advapi, "StartServiceA", StartServiceA) &&
           Find(advapi, "ControlService", ControlService) && Find(advapi, "QueryServiceStatus", QueryServiceStatus) &&
           Find(advapi, "DeleteService", DeleteService) && Find(advapi, "CloseServiceHandle", CloseServiceHandle) &&
           Find(advapi, "LookupAccountNameA", LookupAccountNameA) &&
           Find(netapi, "NetLocalGroupAdd", NetLocalGroupAdd);
}

}  // namespace vc::ntdriver
