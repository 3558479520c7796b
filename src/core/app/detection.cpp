#include "core/app/detection.h"

#include "core/board/board_recognition.h"
#include "core/board/freq_identification.h"
#include "core/cpu/cpu_speed.h"
#include "core/cpu/cpu_identify.h"
#include "core/hw/hw_driver.h"

namespace vc {

int32_t ScanBiosInfo(SystemInfo& info, Context& ctx) {
    if (!OpenDriverForBios(info, ctx)) return 0;
    return FindBoard(info, ctx);
}

namespace {

struct DetectionStep {
    int32_t (*run)(SystemInfo&, Context&);
    const char* failureMessage;  // nullptr: the step cannot fail
};

int32_t SetOsKind(SystemInfo&, Context& ctx) {
    ctx.osKind = OsKindFromVersion(ctx.machine.GetOsVersion());
    return 1;
}

int32_t IdentifyProcessor(SystemInfo& info, Context& ctx) {
    IdentifyCPU(info.cpu, ctx);
    return 1;
}

int32_t DecodeMultiplier(SystemInfo& info, Context& ctx) {
    return CPUMultiValue(info.cpu, ctx, info.addressInfo);
}

int32_t MeasureProcessor(SystemInfo& info, Context& ctx) { return RefreshCPU(info.cpu, ctx); }

int32_t TakeMeasuredClocks(SystemInfo& info, Context&) {
    info.multiplier = info.cpu.multiplier;
    info.cpuClockMHz = info.cpu.cpuClockMHz;
    info.busClockMHz = info.cpu.busClockMHz;
    return 1;
}

int32_t ConnectClockWriter(SystemInfo& info, Context&) {
    info.clockWriter.board = &info.board;
    return 1;
}

constexpr DetectionStep kDetectionSteps[] = {
    {SetOsKind, nullptr},
    {IdentifyProcessor, nullptr},
    {ScanBiosInfo, kMsgScanBiosInfoFail},
    {ScanAddressInfo, kMsgScanAddressInfoFail},
    {DecodeMultiplier, kMsgCpuNotSupported},
    {MeasureProcessor, kMsgRefreshCpuFail},
    {TakeMeasuredClocks, nullptr},
    {ScanCPUFreqValue, kMsgScanCpuFreqFail},
    {ConnectClockWriter, nullptr},
};

}  // namespace

int32_t DetectSystem(SystemInfo& info, Context& ctx) {
    for (const auto& step : kDetectionSteps) {
        if (step.run(info, ctx)) continue;
        if (step.failureMessage) ctx.shell.ShowMessage(kCaptionMessage, step.failureMessage);
        return 0;
    }
    return 1;
}

}  // namespace vc
