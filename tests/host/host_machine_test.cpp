#include "host/host_machine.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "core/base/context.h"
#include "core/cpu/cpu_identify.h"
#include "core/cpu/cpu_speed.h"
#include "host/host_clock.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

// The first processor's "key : value" lines from /proc/cpuinfo.
std::map<std::string, std::string> FirstProcessorInfo() {
    std::map<std::string, std::string> info;
    std::ifstream in("/proc/cpuinfo");
    for (std::string line; std::getline(in, line) && !(line.empty() && !info.empty());) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const size_t keyEnd = line.find_last_not_of(" \t", colon - 1);
        info[line.substr(0, keyEnd + 1)] = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
    }
    return info;
}

class HostProcessor : public ::testing::Test {
protected:
    void SetUp() override {
#if !defined(__x86_64__) && !defined(__i386__)
        GTEST_SKIP() << "not an x86 processor";
#endif
        if (info.count("vendor_id") == 0 || info.count("cpu family") == 0) GTEST_SKIP() << "no /proc/cpuinfo";
    }
    int Number(const char* key) const { return std::stoi(info.at(key)); }
    bool HasFlag(const std::string& flag) const {
        return (" " + info.at("flags") + " ").find(" " + flag + " ") != std::string::npos;
    }

    std::map<std::string, std::string> info = FirstProcessorInfo();
    HostMachine machine;
    test::RecordingShell shell;
    Context context{machine.Parts(), shell, kOsOther, {}};
    CPUInfo cpu;
};

TEST_F(HostProcessor, IdentificationMatchesTheKernelsView) {
    ASSERT_TRUE(machine.processor.HasCpuid());
    IdentifyCPU(cpu, context);
    EXPECT_EQ(std::string(cpu.vendorId), info.at("vendor_id"));
    // The kernel adds the extended family (above base family 15) and the
    // extended model (families 6 and 15) to the base fields.
    const int family = std::min(Number("cpu family"), 15);
    EXPECT_EQ(cpu.family, family);
    EXPECT_EQ(cpu.model, Number("model") & 0xF);
    EXPECT_EQ(cpu.stepping, Number("stepping"));
    EXPECT_EQ((cpu.featureFlags & kFeatureTimeStampCounter) != 0, HasFlag("tsc"));
    const bool intel = info.at("vendor_id") == "GenuineIntel";
    EXPECT_EQ(CPUKindID(cpu, context), family | (intel ? 0 : kKindCloneBit));
}

TEST_F(HostProcessor, TimingLoopCostGrowsWithItsCount) {
    const auto cyclesFor = [this](uint32_t iterations) {
        const uint64_t start = machine.processor.ReadTimeStampCounter();
        machine.processor.RunBitScanLoop(iterations);
        return machine.processor.ReadTimeStampCounter() - start;
    };
    EXPECT_LT(cyclesFor(0), cyclesFor(400'000));  // a zero count must not loop 2^32 times
}

TEST_F(HostProcessor, MeasuredClockMatchesTheTimeStampRateOverALongWindow) {
    if (!HasFlag("tsc") || !HasFlag("constant_tsc")) GTEST_SKIP() << "no steady time-stamp counter";
    const uint64_t ns0 = MonotonicRawNanoseconds();
    const uint64_t tsc0 = machine.processor.ReadTimeStampCounter();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const uint64_t tsc1 = machine.processor.ReadTimeStampCounter();
    const uint64_t ns1 = MonotonicRawNanoseconds();
    const double referenceMHz = static_cast<double>(tsc1 - tsc0) * 1000.0 / static_cast<double>(ns1 - ns0);

    IdentifyCPU(cpu, context);
    MeasurementReport report;
    ASSERT_EQ(RefreshCPU(cpu, context, &report), 1);
    EXPECT_EQ(report.method, MeasurementMethod::TimeStamp);
    EXPECT_NEAR(cpu.cpuClockMHz, referenceMHz, referenceMHz * 0.005);
}

TEST(HostCounter, ConversionIsExactOverLongUptimes) {
    const uint64_t tenThousandSeconds = 10'000'000'000'000ull;  // 64-bit products would overflow
    EXPECT_EQ(CounterTicksFromNanoseconds(tenThousandSeconds), kHostCounterHz * 10'000);
    EXPECT_EQ(CounterTicksFromNanoseconds(tenThousandSeconds + 279'365), kHostCounterHz * 10'000 + 999);
    EXPECT_EQ(CounterTicksFromNanoseconds(tenThousandSeconds + 279'366), kHostCounterHz * 10'000 + 1000);
    // The largest uptime the clock can give: floor((2^64 - 1) * 3579545 / 10^9).
    EXPECT_EQ(CounterTicksFromNanoseconds(UINT64_MAX), 66'030'950'515'326'656ull);
}

TEST(HostCounter, CounterAndTickCountFollowTheMonotonicClock) {
    HostClock clock;
    uint64_t frequency = 0;
    ASSERT_TRUE(clock.QueryPerformanceFrequency(frequency));
    EXPECT_EQ(frequency, kHostCounterHz);
    uint64_t c0 = 0;
    uint64_t c1 = 0;
    const uint32_t tick0 = clock.TickCountMs();
    const uint64_t ns0 = MonotonicRawNanoseconds();
    ASSERT_TRUE(clock.QueryPerformanceCounter(c0));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(clock.QueryPerformanceCounter(c1));
    const uint64_t ns1 = MonotonicRawNanoseconds();
    const uint32_t ticks = clock.TickCountMs() - tick0;
    EXPECT_NEAR(static_cast<double>(c1 - c0) * 1e9 / static_cast<double>(ns1 - ns0), 3'579'545.0, 3'579.0);
    EXPECT_GE(ticks, 199u);
    EXPECT_LT(ticks, 5000u);
}

int CurrentPolicy() {
    int policy = 0;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &policy, &param);
    return policy;
}

int CurrentNice() { return getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid))); }

TEST(HostPriority, ReportsTheLevelSetAndRestoresNormalScheduling) {
    HostClock clock;
    EXPECT_EQ(clock.GetThreadPriority(), 0);
    const int policy = CurrentPolicy();
    const int nice = CurrentNice();
    clock.SetThreadPriority(kThreadPriorityTimeCritical);
    EXPECT_EQ(clock.GetThreadPriority(), kThreadPriorityTimeCritical);
    if (geteuid() == 0) {
        EXPECT_EQ(CurrentPolicy(), SCHED_FIFO);
    }
    clock.SetThreadPriority(0);
    EXPECT_EQ(CurrentPolicy(), policy);
    EXPECT_EQ(CurrentNice(), nice);

    clock.SetThreadPriority(-1);  // lowering is always allowed
    EXPECT_EQ(clock.GetThreadPriority(), -1);
    EXPECT_EQ(CurrentNice(), std::min(nice + 5, 19));
    clock.SetThreadPriority(0);
    if (geteuid() == 0) {
        EXPECT_EQ(CurrentNice(), nice);
    }
}

}  // namespace
}  // namespace vc
