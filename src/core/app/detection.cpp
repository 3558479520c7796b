#include "core/app/detection.h"

#include <vector>

#include "core/app/bus_fault_report.h"
#include "core/board/board_recognition.h"
#include "core/board/freq_identification.h"
#include "core/cpu/cpu_identify.h"
#include "core/cpu/cpu_speed.h"
#include "core/hw/hw_driver.h"
#include "core/hw/smbus_controller_scan.h"

namespace vc {

BusResult ScanBiosInfo(SystemInfo& info, Context& ctx) {
    const BusResult opened = info.Bus().OpenForBios();
    if (opened.value == 0 || opened.Faulted()) return opened;
    return {FindBoard(info, ctx)};
}

BusResult ScanAddressInfo(SystemInfo& info, Context&) {
    return info.Bus().ReadConfigWord(info.cpu.vendorCode, info.addressInfo);
}

namespace {

struct DetectionStep {
    BusResult (*run)(SystemInfo&, Context&);
    const char* failureMessage;  // nullptr: the step cannot fail
};

// The system kind decides, once, how the hardware is reached.
BusResult ChoosePath(SystemInfo& info, Context& ctx) {
    ctx.osKind = OsKindFromVersion(ctx.machine.platform.GetOsVersion());
    info.busPath = ChooseBusPath(ctx.osKind, ctx.machine);
    return {1};
}

// A record that leaves its controller's base to PCI takes the first
// controller of its kind that PCI shows with its host on. One whose host is
// off gets no transfer: the clock generator cannot be reached through it.
BusResult ResolveSmbusBase(SystemInfo& info, Context& ctx) {
    if (info.board.smbusBase != kSmbusBaseFromPci) return {1};
    std::vector<FoundSmbusController> found;
    const BusResult scan = ScanSmbusControllers(info.Bus(), found);
    if (scan.Faulted()) return scan;
    bool disabled = false;
    for (const FoundSmbusController& controller : found) {
        if (controller.function->kind != info.board.smbusKind) continue;
        disabled = disabled || !controller.enabled;
        if (!controller.enabled) continue;
        info.board.smbusBase = controller.base;
        return {1};
    }
    ctx.shell.ShowMessage(kCaptionMessage, disabled ? kMsgSmbusControllerDisabled : kMsgSmbusBaseNotShown);
    return {0};
}

BusResult IdentifyProcessor(SystemInfo& info, Context& ctx) {
    IdentifyCPU(info.cpu, ctx);
    return {1};
}

BusResult DecodeMultiplier(SystemInfo& info, Context& ctx) {
    return {CPUMultiValue(info.cpu, ctx, info.addressInfo)};
}

BusResult MeasureProcessor(SystemInfo& info, Context& ctx) { return {RefreshCPU(info.cpu, ctx)}; }

BusResult TakeMeasuredClocks(SystemInfo& info, Context&) {
    info.multiplier = info.cpu.multiplier;
    info.cpuClockMHz = info.cpu.cpuClockMHz;
    info.busClockMHz = info.cpu.busClockMHz;
    return {1};
}

BusResult ConnectClockWriter(SystemInfo& info, Context&) {
    info.clockWriter.board = &info.board;
    return {1};
}

constexpr DetectionStep kDetectionSteps[] = {
    {ChoosePath, nullptr},
    {IdentifyProcessor, nullptr},
    {ScanBiosInfo, kMsgScanBiosInfoFail},
    {ResolveSmbusBase, nullptr},  // shows its own message
    {ScanAddressInfo, kMsgScanAddressInfoFail},
    {DecodeMultiplier, kMsgCpuNotSupported},
    {MeasureProcessor, kMsgRefreshCpuFail},
    {TakeMeasuredClocks, nullptr},
    {ScanCPUFreqValue, kMsgScanCpuFreqFail},
    {ConnectClockWriter, nullptr},
};

}  // namespace

int32_t ReadProcessorMultiplier(SystemInfo& info, Context& ctx) {
    ChoosePath(info, ctx);
    if (!info.Bus().ReachesHardware()) return 0;  // the word would be made up
    const BusResult opened = info.Bus().OpenForBios();
    if (opened.value == 0 || opened.Faulted()) return 0;
    const BusResult read = ScanAddressInfo(info, ctx);
    if (read.value == 0 || read.Faulted()) return 0;
    return DecodeMultiplier(info, ctx).value;
}

int32_t DetectSystem(SystemInfo& info, Context& ctx) {
    for (const auto& step : kDetectionSteps) {
        const BusResult result = step.run(info, ctx);
        EndOnBusFault(ctx, result.fault);
        if (result.value != 0) continue;
        if (step.failureMessage) ctx.shell.ShowMessage(kCaptionMessage, step.failureMessage);
        return 0;
    }
    return 1;
}

}  // namespace vc
