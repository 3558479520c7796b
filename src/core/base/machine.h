// The machine seam: the three parts the core asks of the computer it runs
// on. Each backend implements only the parts it serves (this computer's
// processor and clocks need no privilege; its platform part is the driver
// helper); the simulated mainboard implements all three. Injected, never a
// global.
#pragma once

#include "core/base/clock.h"
#include "core/base/platform.h"
#include "core/base/processor.h"

namespace vc {

struct Machine {
    Platform& platform;
    Processor& processor;
    Clock& clock;
};

// The view of one object that serves all three parts.
template <typename AllParts>
Machine WholeMachine(AllParts& parts) {
    return Machine{parts, parts, parts};
}

}  // namespace vc
