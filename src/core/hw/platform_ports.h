// The SMBus sequences' port interface on the machine's own port I/O, with
// the step pause as a busy wait on the machine's clock: the program's way
// to a controller on Windows 9x.
#pragma once

#include "core/base/machine.h"
#include "core/hw/smbus_ports.h"

namespace vc {

class PlatformPorts final : public SmbusPorts {
public:
    explicit PlatformPorts(Machine machine) : machine_(machine) {}
    uint8_t In(uint16_t port) override { return machine_.platform.InPort8(port); }
    void Out(uint16_t port, uint8_t value) override { machine_.platform.OutPort8(port, value); }
    void Wait() override;

private:
    Machine machine_;
};

}  // namespace vc
