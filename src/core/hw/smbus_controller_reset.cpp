#include "core/hw/smbus_controller_reset.h"

#include "core/hw/smbus_access.h"
#include "core/hw/smbus_port_transfer.h"
#include "core/hw/smbus_registers.h"

namespace vc {

using namespace smbus;

bool ResetIdleController(SmbusPorts& ports, int32_t kind, uint16_t ioBase) {
    const auto port = [ioBase](uint16_t reg) { return static_cast<uint16_t>(ioBase + reg); };
    const bool byteWise = kind == kSmbusControllerByteWise;
    // On the byte-by-byte controller this read takes the semaphore when it
    // is free; the clear below gives it back.
    const uint8_t status = ports.In(port(kStatus));
    if ((status & kStatusBusy) != 0 || (byteWise && (status & kStatusInUse) != 0)) return false;
    ports.Out(port(kControl), kControlKill);
    ports.Wait();
    ports.Out(port(kControl), 0);
    // Only the bits the kind defines: the PIIX4's bits 5-7 are reserved.
    const uint8_t clear = byteWise ? static_cast<uint8_t>(kStatusFlagsByteWise | kStatusInUse) : kStatusFlagsBlockBuffer;
    ports.Out(port(kStatus), clear);
    return true;
}

}  // namespace vc
