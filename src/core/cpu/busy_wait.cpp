#include "core/cpu/busy_wait.h"

#include "core/hw/machine.h"

namespace vc {

int32_t BusyWaitMs(Machine& machine, uint32_t ms) {
    const uint32_t start = machine.TickCountMs();
    while (static_cast<uint32_t>(machine.TickCountMs() - start) < ms) {
    }
    return 1;
}

}  // namespace vc
