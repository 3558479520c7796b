#include "core/base/busy_wait.h"

#include "core/base/clock.h"

namespace vc {

int32_t BusyWaitMs(Clock& clock, uint32_t ms) {
    const uint32_t start = clock.TickCountMs();
    while (static_cast<uint32_t>(clock.TickCountMs() - start) < ms) {
    }
    return 1;
}

}  // namespace vc
