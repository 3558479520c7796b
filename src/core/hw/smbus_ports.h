// What the SMBus sequences need from whoever runs them: a byte in, a byte
// out, and the pause between two steps. The program's direct-port path, the
// simulated driver and the privileged helper each supply their own.
#pragma once

#include <cstdint>

namespace vc {

class SmbusPorts {
public:
    virtual ~SmbusPorts() = default;
    virtual uint8_t In(uint16_t port) = 0;
    virtual void Out(uint16_t port, uint8_t value) = 0;
    // The pause between two steps (smbus::kStepWaitMs).
    virtual void Wait() = 0;
};

}  // namespace vc
