// Shared helpers for the simulated-machine tests.
#pragma once

#include <gtest/gtest.h>

#include "sim/machine_catalogue.h"

namespace vc::sim::test {

// The embedded default machine, on virtual time.
inline MachineDescription VirtualDefault() {
    auto result = DefaultMachineDescription();
    EXPECT_TRUE(result.ok()) << result.error;
    MachineDescription d = result.ok() ? *result.description : MachineDescription{};
    d.time.mode = TimeMode::Virtual;
    return d;
}

}  // namespace vc::sim::test
