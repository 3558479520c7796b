#include "host/host_machine.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "core/app/context.h"
#include "core/cpu/cpu_identify.h"
#include "core/cpu/cpu_info.h"
#include "core/cpu/cpu_speed.h"
#include "host/host_clock.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

using test::RecordingShell;

// The first processor's "key : value" lines from /proc/cpuinfo.
std::map<std::string, std::string> FirstProcessorInfo() {
    std::map<std::string, std::string> info;
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) {
            if (!info.empty()) break;
            continue;
        }
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string key = line.substr(0, colon);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.pop_back();
        const std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
        info[key] = value;
    }
    return info;
}

bool HasProcFlag(const std::map<std::string, std::string>& info, const std::string& flag) {
    const auto flags = info.find("flags");
    if (flags == info.end()) return false;
    std::istringstream words(flags->second);
    std::string word;
    while (words >> word) {
        if (word == flag) return true;
    }
    return false;
}

class HostProcessor : public ::testing::Test {
protected:
    void SetUp() override {
#if !defined(__x86_64__) && !defined(__i386__)
        GTEST_SKIP() << "not an x86 processor";
#endif
        info = FirstProcessorInfo();
        if (info.count("vendor_id") == 0 || info.count("cpu family") == 0) GTEST_SKIP() << "no /proc/cpuinfo";
    }

    int ProcNumber(const char* key) const { return std::stoi(info.at(key)); }

    HostMachine machine;
    RecordingShell shell;
    Context context{machine, shell, kOsOther, {}};
    std::map<std::string, std::string> info;
};

TEST_F(HostProcessor, IdentificationMatchesTheKernelsView) {
    ASSERT_TRUE(machine.HasCpuid());
    CPUInfo cpu;
    IdentifyCPU(cpu, context);
    EXPECT_EQ(std::string(cpu.vendorId), info.at("vendor_id"));
    // The kernel adds the extended family (from base family 15) and the
    // extended model (families 6 and 15) to the base fields.
    const int procFamily = ProcNumber("cpu family");
    EXPECT_EQ(cpu.family, procFamily >= 15 ? 15 : procFamily);
    EXPECT_EQ(cpu.model, ProcNumber("model") & 0xF);
    EXPECT_EQ(cpu.stepping, ProcNumber("stepping"));
    EXPECT_EQ((cpu.featureFlags & kFeatureTimeStampCounter) != 0, HasProcFlag(info, "tsc"));
    const int32_t expectedVendor = info.at("vendor_id") == "GenuineIntel"   ? kVendorIntel
                                   : info.at("vendor_id") == "AuthenticAMD" ? kVendorAmd
                                                                            : 0;
    EXPECT_EQ(cpu.vendorCode, expectedVendor);
}

TEST_F(HostProcessor, KindIsTheBaseFamilyWithTheCloneBitForOtherVendors) {
    CPUInfo cpu;
    const int procFamily = ProcNumber("cpu family");
    const uint16_t family = static_cast<uint16_t>(procFamily >= 15 ? 15 : procFamily);
    const uint16_t clone = info.at("vendor_id") == "GenuineIntel" ? 0 : kKindCloneBit;
    EXPECT_EQ(CPUKindID(cpu, context), family | clone);
}

TEST_F(HostProcessor, TimingLoopCostGrowsWithItsCount) {
    const auto cyclesFor = [this](uint32_t iterations) {
        const uint64_t start = machine.ReadTimeStampCounter();
        machine.RunBitScanLoop(iterations);
        return machine.ReadTimeStampCounter() - start;
    };
    // A zero count must not run the loop 2^32 times.
    EXPECT_LT(cyclesFor(0), cyclesFor(400'000));
}

TEST_F(HostProcessor, MeasuredClockMatchesTheTimeStampRate) {
    if (!HasProcFlag(info, "tsc") || !HasProcFlag(info, "constant_tsc")) GTEST_SKIP() << "no steady time-stamp counter";
    // The time-stamp rate over a window a thousand times longer than one try.
    const uint64_t ns0 = MonotonicRawNanoseconds();
    const uint64_t tsc0 = machine.ReadTimeStampCounter();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const uint64_t ns1 = MonotonicRawNanoseconds();
    const uint64_t tsc1 = machine.ReadTimeStampCounter();
    const double referenceMHz = static_cast<double>(tsc1 - tsc0) * 1000.0 / static_cast<double>(ns1 - ns0);

    CPUInfo cpu;
    IdentifyCPU(cpu, context);
    MeasurementReport report;
    ASSERT_EQ(RefreshCPU(cpu, context, &report), 1);
    EXPECT_EQ(report.method, MeasurementMethod::TimeStamp);
    EXPECT_GE(report.tries, kMinTries);
    EXPECT_LE(report.tries, kMaxTries);
    EXPECT_NEAR(cpu.cpuClockMHz, referenceMHz, referenceMHz * 0.005);
    EXPECT_TRUE(shell.messages.empty());
}

TEST(HostCounter, ConversionIsExactOverLongUptimes) {
    EXPECT_EQ(CounterTicksFromNanoseconds(1'000'000'000), kHostCounterHz);
    EXPECT_EQ(CounterTicksFromNanoseconds(0), 0u);
    // Days of uptime: a 64-bit product would overflow, a floating one drift.
    const uint64_t tenThousandSeconds = 10'000'000'000'000ull;
    EXPECT_EQ(CounterTicksFromNanoseconds(tenThousandSeconds), kHostCounterHz * 10'000);
    EXPECT_EQ(CounterTicksFromNanoseconds(tenThousandSeconds + 279'365), kHostCounterHz * 10'000 + 999);
    EXPECT_EQ(CounterTicksFromNanoseconds(tenThousandSeconds + 279'366), kHostCounterHz * 10'000 + 1000);
}

TEST(HostCounter, RunsAtItsStatedFrequency) {
    HostMachine machine;
    uint64_t frequency = 0;
    ASSERT_TRUE(machine.QueryPerformanceFrequency(frequency));
    EXPECT_EQ(frequency, kHostCounterHz);
    uint64_t c0 = 0;
    uint64_t c1 = 0;
    const uint64_t ns0 = MonotonicRawNanoseconds();
    ASSERT_TRUE(machine.QueryPerformanceCounter(c0));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(machine.QueryPerformanceCounter(c1));
    const uint64_t ns1 = MonotonicRawNanoseconds();
    const double rate = static_cast<double>(c1 - c0) * 1e9 / static_cast<double>(ns1 - ns0);
    EXPECT_NEAR(rate, static_cast<double>(kHostCounterHz), kHostCounterHz * 0.01);
}

TEST(HostCounter, TickCountFollowsTheMonotonicClock) {
    HostMachine machine;
    const uint32_t t0 = machine.TickCountMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const uint32_t waited = machine.TickCountMs() - t0;
    EXPECT_GE(waited, 49u);
    EXPECT_LT(waited, 5000u);
}

int CurrentPolicy() {
    int policy = 0;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &policy, &param);
    return policy;
}

int CurrentNice() { return getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid))); }

TEST(HostPriority, ReportsTheLevelSetAndRestoresNormalScheduling) {
    HostMachine machine;
    EXPECT_EQ(machine.GetThreadPriority(), 0);
    const int policy = CurrentPolicy();
    const int nice = CurrentNice();

    machine.SetThreadPriority(kThreadPriorityTimeCritical);
    EXPECT_EQ(machine.GetThreadPriority(), kThreadPriorityTimeCritical);
    const bool raised = CurrentPolicy() == SCHED_FIFO;
    machine.SetThreadPriority(0);
    EXPECT_EQ(machine.GetThreadPriority(), 0);
    EXPECT_EQ(CurrentPolicy(), policy) << (raised ? "raised to FIFO" : "raise refused");
    EXPECT_EQ(CurrentNice(), nice);

    // Lowering is always allowed; coming back needs the privilege to raise.
    machine.SetThreadPriority(-1);
    EXPECT_EQ(machine.GetThreadPriority(), -1);
    EXPECT_EQ(CurrentNice(), std::min(nice + 5, 19));
    machine.SetThreadPriority(0);
    if (geteuid() == 0) {
        EXPECT_EQ(CurrentNice(), nice);
    }
}

}  // namespace
}  // namespace vc
