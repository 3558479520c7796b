// The counter shared by every running copy of this program file.
#pragma once

#include <cstdint>

namespace vc::win32 {

// Both answer the counter after the change; it is -1 whenever no copy runs.
int32_t IncrementInstanceCounter();
int32_t DecrementInstanceCounter();

}  // namespace vc::win32
