#include "core/hw/hardware_findings.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string>

#include "core/base/context.h"
#include "core/hw/hw_driver.h"
#include "core/hw/pci_config.h"
#include "core/hw/platform_ports.h"
#include "core/hw/probe_report.h"
#include "core/hw/smbus_registers.h"

namespace vc {

namespace {

constexpr uint32_t kHostBridgeIdRegister = 0x00;

BusResult ReadHostBridgeId(BusPath& path, HardwareFindings& findings) {
    uint32_t id = 0;
    const BusResult result = ScanPCIValue(path, 0, 0, 0, kHostBridgeIdRegister, id);
    if (!result.Faulted()) findings.hostBridgeId = id;
    return result;
}

void ReadBackOnPorts(Machine machine, HardwareFindings& findings) {
    if (findings.controllers.empty()) return;
    const FoundSmbusController& controller = findings.controllers.front();
    PlatformPorts ports(machine);
    std::array<uint8_t, smbus::kBlockBufferSize> block{};
    const SmbusTarget target{controller.base, smbus::kClockGenWrite, smbus::kClockGenRead, 0};
    const int32_t count = ReadSmbusBlockOfKind(ports, controller.function->kind, target, block);
    findings.readBackController = controller.base;
    if (count < 0) {
        findings.readBack = ReadBackOutcome::NoAnswer;
        return;
    }
    findings.readBack = ReadBackOutcome::Read;
    findings.readBackBytes.assign(block.begin(), block.begin() + std::min<std::ptrdiff_t>(count, std::ssize(block)));
}

void ReadBackFromReport(const ProbeReport& report, HardwareFindings& findings) {
    if (findings.controllers.empty()) return;
    findings.readBackController = findings.controllers.front().base;
    findings.readBack = ReadBackInReport(report, findings.readBackController, findings.readBackBytes);
}

FindingsResult Faulted(BusResult result) { return {FindingsOutcome::Fault, result.fault, {}}; }

}  // namespace

ReadBackOutcome ReadBackInReport(const ProbeReport& report, uint16_t controller, std::vector<uint8_t>& bytes) {
    for (const ProbeClockGen& clockGen : report.clockGens) {
        if (clockGen.controller != controller) continue;
        // The helper leaves readback out where nothing answers; only where
        // something does is a missing key an older helper's.
        if (!clockGen.answersReported) return ReadBackOutcome::NotReported;
        if (!clockGen.asked) return ReadBackOutcome::NotAsked;
        if (!clockGen.answers) return ReadBackOutcome::NoAnswer;
        if (!clockGen.readBackReported) return ReadBackOutcome::NotReported;
        if (clockGen.readBackSkipped) return ReadBackOutcome::Skipped;
        if (!clockGen.readBack) return ReadBackOutcome::NoReadBack;
        bytes = *clockGen.readBack;
        return ReadBackOutcome::Read;
    }
    return ReadBackOutcome::NotReported;
}

FindingsResult GatherHardwareFindings(int32_t osKind, BusPath& path, Machine machine) {
    if (osKind != kOsWin9x && osKind != kOsNt4 && osKind != kOsWin2000) {
        return {FindingsOutcome::NoDriverForSystem, BusFault::None, {}};
    }
    const BusResult opened = path.OpenForBios();
    const bool driverOpened = opened.value != 0 && !opened.Faulted();
    // On 9x only the BIOS window needs the virtual device; the ports need none.
    if (!driverOpened && osKind != kOsWin9x) return {FindingsOutcome::DriverNotOpened, BusFault::None, {}};

    FindingsResult result;
    HardwareFindings& findings = result.findings;
    if (const BusResult scan = ScanSmbusControllers(path, findings.controllers); scan.Faulted()) return Faulted(scan);

    if (osKind == kOsWin9x) {
        findings.biosWindowRead = driverOpened;
        if (driverOpened) findings.biosStrings = FindBiosStrings(machine.platform.ResolveBiosWindow(path.BiosWindow()));
        if (const BusResult id = ReadHostBridgeId(path, findings); id.Faulted()) return Faulted(id);
        ReadBackOnPorts(machine, findings);
        return result;
    }

    std::string text;
    if (!RequestProbe(machine.platform, path.DriverHandle(), text, /*readChip=*/true)) {
        return {FindingsOutcome::NoProbeReport, BusFault::None, {}};
    }
    const ProbeReport report = ParseProbeReport(text);
    findings.biosStrings = report.biosStrings;
    findings.hostBridgeId = report.hostBridgeId;
    if (!findings.hostBridgeId) {
        if (const BusResult id = ReadHostBridgeId(path, findings); id.Faulted()) return Faulted(id);
    }
    ReadBackFromReport(report, findings);
    return result;
}

}  // namespace vc
