#include "core/hw/platform_ports.h"

#include "core/base/busy_wait.h"
#include "core/hw/smbus_registers.h"

namespace vc {

void PlatformPorts::Wait() { BusyWaitMs(machine_.clock, smbus::kStepWaitMs); }

}  // namespace vc
