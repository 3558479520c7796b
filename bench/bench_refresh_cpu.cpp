// One processor-clock measurement on this computer, against the floor that
// its own waits impose: six 4 ms identification waits plus, per try, the
// 50-tick settling and 1000-tick counting windows of the 3,579,545 Hz counter.
// The tick count moves in whole milliseconds, so each 4 ms wait may end up to
// 1 ms early; the measured time can sit slightly below the nominal floor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/base/context.h"
#include "core/base/shell.h"
#include "core/cpu/cpu_identify.h"
#include "core/cpu/cpu_info.h"
#include "core/cpu/cpu_speed.h"
#include "host/host_clock.h"
#include "host/host_machine.h"

namespace {

class ConsoleShell : public vc::Shell {
public:
    void ShowMessage(const std::string& caption, const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    [[noreturn]] void EndProcess(int exitCode) override { std::exit(exitCode); }
};

constexpr double kIdentificationWaitsMs = 6 * 4.0;

double FloorMs(double tries) {
    const double ticksPerTry = vc::kSettleTicks + vc::kWindowTicks;
    return kIdentificationWaitsMs + tries * ticksPerTry * 1000.0 / static_cast<double>(vc::kHostCounterHz);
}

void BM_RefreshCPU(benchmark::State& state) {
    vc::HostMachine machine;
    ConsoleShell shell;
    vc::Context context{machine.Parts(), shell, vc::kOsOther, {}};
    vc::CPUInfo cpu;
    vc::IdentifyCPU(cpu, context);

    uint64_t runs = 0;
    uint64_t totalTries = 0;
    double lastMHz = 0;
    for (auto _ : state) {
        vc::MeasurementReport report;
        if (vc::RefreshCPU(cpu, context, &report) == 0) {
            state.SkipWithError("RefreshCPU failed");
            break;
        }
        ++runs;
        totalTries += report.tries;
        lastMHz = cpu.cpuClockMHz;
    }
    if (runs == 0) return;
    const double meanTries = static_cast<double>(totalTries) / static_cast<double>(runs);
    state.counters["tries"] = meanTries;
    state.counters["floor_ms"] = FloorMs(meanTries);
    state.counters["clock_MHz"] = lastMHz;
}

BENCHMARK(BM_RefreshCPU)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
