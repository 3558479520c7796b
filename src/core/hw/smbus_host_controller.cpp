#include "core/hw/smbus_host_controller.h"

namespace vc {

void SmbusHostController::Wait() {
    // Unsigned difference, so a tick count that wraps around still waits.
    const uint32_t start = machine_.TickCountMs();
    while (machine_.TickCountMs() - start < kSmbusStepWaitMs) {
    }
}

}  // namespace vc
