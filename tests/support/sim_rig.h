// One run of the program on a simulated machine: the machine behind a
// recording platform, a recording shell, the context with the system kind
// the machine reports, and the bus path that kind calls for (chosen as
// detection chooses it, not yet opened).
#pragma once

#include <string>
#include <utility>

#include "core/base/context.h"
#include "core/board/system_info.h"
#include "core/hw/hw_driver.h"
#include "sim/sim_machine.h"
#include "support/recording_platform.h"
#include "support/recording_shell.h"

namespace vc::test {

class SimRig {
public:
    explicit SimRig(sim::MachineDescription description, std::string dataDirectory = {})
        : sim(std::move(description)),
          platform(sim, [this] { return sim.NowPs(); }),
          ctx{Machine{platform, sim, sim}, shell, OsKindFromVersion(sim.GetOsVersion()), std::move(dataDirectory)} {
        info.busPath = ChooseBusPath(ctx.osKind, ctx.machine);
    }
    SimRig(const SimRig&) = delete;
    SimRig& operator=(const SimRig&) = delete;

    BusPath& Bus() { return info.Bus(); }

    sim::SimMachine sim;
    RecordingPlatform platform;
    RecordingShell shell;
    Context ctx;
    SystemInfo info;
};

}  // namespace vc::test
