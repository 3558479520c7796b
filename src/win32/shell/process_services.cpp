#include "win32/shell/process_services.h"

#include "win32/shell/windows_api.h"

#include "win32/shell/instance_counter.h"

namespace vc::win32 {

namespace {

constexpr DWORD kPathBytes = 512;

std::string ModulePath() {
    char path[kPathBytes] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, kPathBytes);
    return length > 0 && length < kPathBytes ? std::string(path, length) : std::string();
}

}  // namespace

int32_t Win32Process::IncrementInstanceCounter() { return win32::IncrementInstanceCounter(); }

int32_t Win32Process::DecrementInstanceCounter() { return win32::DecrementInstanceCounter(); }

std::string Win32Process::CurrentDirectory() {
    char path[kPathBytes] = {};
    const DWORD length = GetCurrentDirectoryA(kPathBytes, path);
    return length > 0 && length < kPathBytes ? std::string(path, length) : std::string();
}

bool Win32Process::SetCurrentDirectory(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != FALSE; }

std::string Win32Process::ProgramPath() { return ModulePath(); }

std::string ProgramFileDirectory() { return ProgramDirectoryOf(ModulePath()); }

}  // namespace vc::win32
