#include <windows.h>

#include "core/base/clock.h"
#include "host/win32/win32_machine.h"

namespace vc::win32 {

bool Win32Clock::QueryPerformanceFrequency(uint64_t& frequency) {
    LARGE_INTEGER value{};
    if (!::QueryPerformanceFrequency(&value) || value.QuadPart <= 0) return false;
    frequency = static_cast<uint64_t>(value.QuadPart);
    return true;
}

bool Win32Clock::QueryPerformanceCounter(uint64_t& counter) {
    LARGE_INTEGER value{};
    if (!::QueryPerformanceCounter(&value)) return false;
    counter = static_cast<uint64_t>(value.QuadPart);
    return true;
}

uint32_t Win32Clock::TickCountMs() { return GetTickCount(); }

int32_t Win32Clock::GetThreadPriority() { return level_; }

// The core's levels are the Win32 thread priorities themselves.
void Win32Clock::SetThreadPriority(int32_t priority) {
    const HANDLE process = GetCurrentProcess();
    if (priority == kThreadPriorityTimeCritical && !raisedClass_) {
        normalClass_ = GetPriorityClass(process);
        raisedClass_ = normalClass_ != 0 && SetPriorityClass(process, REALTIME_PRIORITY_CLASS);
    } else if (priority != kThreadPriorityTimeCritical && raisedClass_) {
        SetPriorityClass(process, normalClass_);
        raisedClass_ = false;
    }
    ::SetThreadPriority(GetCurrentThread(), priority);
    level_ = priority;
}

}  // namespace vc::win32
