#include "win32/shell/instance_counter.h"

#include "win32/shell/windows_api.h"

namespace vc::win32 {

namespace {

// The linker marks this section shared: every process running the same
// program file maps the one page. The page lives only while some copy runs,
// so once every copy has ended, however it ended, the next start finds -1
// again and a crashed or refused copy never locks later starts out.
volatile LONG instanceCounter __attribute__((section(".shared"), shared)) = -1;

}  // namespace

int32_t IncrementInstanceCounter() { return static_cast<int32_t>(InterlockedIncrement(&instanceCounter)); }

int32_t DecrementInstanceCounter() { return static_cast<int32_t>(InterlockedDecrement(&instanceCounter)); }

}  // namespace vc::win32
