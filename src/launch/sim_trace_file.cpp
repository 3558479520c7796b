#include "launch/sim_trace_file.h"

#include <cstdint>
#include <vector>

#include "core/base/file_io.h"
#include "sim/sim_machine.h"

namespace vc::launch {

bool WriteSimulationTrace(LaunchedMachine& machine, const std::string& path) {
    const sim::SimMachine* simulation = machine.Simulation();
    if (simulation == nullptr) return false;
    std::vector<uint8_t> text;
    for (const std::string& line : simulation->TraceLines()) {
        text.insert(text.end(), line.begin(), line.end());
        text.push_back('\n');
    }
    return ReplaceFileAtomically(path, text);
}

}  // namespace vc::launch
