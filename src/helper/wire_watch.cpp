#include "helper/wire_watch.h"

#include "core/hw/smbus_registers.h"

namespace vc::helper {

using namespace smbus;

uint8_t WireWatch::In(uint16_t port) {
    const uint8_t value = ports_.In(port);
    // BUSY alone: the transfer is still on the wire, its outcome not known.
    if (port == ioBase_ + kStatus && writeStarted_ && value != kStatusBusy) {
        if ((value & kStatusDeviceError) == 0) maySent_ = true;
        writeStarted_ = false;
    }
    return value;
}

void WireWatch::Out(uint16_t port, uint8_t value) {
    if (port == ioBase_ + kAddress) address_ = value;
    if (port == ioBase_ + kControl && (value & kControlStart) != 0 && (address_ & 1) == 0) writeStarted_ = true;
    ports_.Out(port, value);
}

}  // namespace vc::helper
