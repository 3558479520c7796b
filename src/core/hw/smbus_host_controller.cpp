#include "core/hw/smbus_host_controller.h"

#include "core/cpu/busy_wait.h"

namespace vc {

void SmbusHostController::Wait() { BusyWaitMs(machine_, kSmbusStepWaitMs); }

}  // namespace vc
