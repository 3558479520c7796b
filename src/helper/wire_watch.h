// Whether a write on the controller's ports may have put a byte on the
// wire, watched from the register accesses the sequence makes: a transfer
// to a write address that was started and whose status then showed
// anything but "no acknowledge" may have sent bytes. A device that does not
// acknowledge its address takes nothing after it (SMBus 2.0, 4.3.1: the
// master stops), and a transfer that was never started sent nothing.
#pragma once

#include <cstdint>

#include "core/hw/smbus_ports.h"

namespace vc::helper {

class WireWatch final : public SmbusPorts {
public:
    WireWatch(SmbusPorts& ports, uint16_t ioBase) : ports_(ports), ioBase_(ioBase) {}

    uint8_t In(uint16_t port) override;
    void Out(uint16_t port, uint8_t value) override;
    void Wait() override { ports_.Wait(); }

    // Nothing for the device may have gone out yet.
    bool NothingSent() const { return !maySent_ && !writeStarted_; }

private:
    SmbusPorts& ports_;
    uint16_t ioBase_;
    uint8_t address_ = 0;
    bool writeStarted_ = false;  // a write transfer started, its outcome not seen yet (unknown: may have sent)
    bool maySent_ = false;
};

}  // namespace vc::helper
