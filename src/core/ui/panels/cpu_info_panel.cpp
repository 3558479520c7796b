#include "core/ui/panels/cpu_info_panel.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/cpu/cpu_speed.h"

namespace vc::ui {

namespace {

std::string IntegerText(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

std::string ClockText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%4.2f", value);
    return text;
}

// The vendor text is at most the field's 12 characters: a record without
// a terminator still gives a bounded text.
std::string VendorText(const CPUInfo& cpu) {
    return std::string(cpu.vendorId, strnlen(cpu.vendorId, sizeof cpu.vendorId));
}

}  // namespace

CpuInfoPanel::CpuInfoPanel(PanelWindow& window, PanelContext& env)
    : SkinnedPanel(*FindPanelRecord(kPanelCpuInfo), window, env) {}

void CpuInfoPanel::InitContent() {
    CreateTemplateControls();
    const CPUInfo& cpu = env_.info.cpu;
    window_.SetControlText(kFieldVendor, VendorText(cpu));
    window_.SetControlText(kFieldFamily, IntegerText(cpu.family));
    window_.SetControlText(kFieldModel, IntegerText(cpu.model));
    window_.SetControlText(kFieldStepping, IntegerText(cpu.stepping));
}

void CpuInfoPanel::BeforeFrame() {
    // Every repaint shows the last measurement.
    const CPUInfo& cpu = env_.info.cpu;
    window_.SetControlText(kFieldInternalClock, ClockText(cpu.cpuClockMHz));
    window_.SetControlText(kFieldMultiplier, ClockText(cpu.multiplier));
    window_.SetControlText(kFieldExternalClock, ClockText(cpu.busClockMHz));
}

void CpuInfoPanel::ContentCommand(int32_t id) {
    if (id != kCpuRefresh) return;
    // A failed measurement keeps the last values, which are shown again.
    RefreshCPU(env_.info.cpu, env_.ctx);
    RefreshCPU(env_.info.cpu, env_.ctx);
    const CPUInfo& cpu = env_.info.cpu;
    window_.SetControlText(kFieldInternalClock, ClockText(cpu.cpuClockMHz));
    window_.SetControlText(kFieldExternalClock, ClockText(cpu.busClockMHz));
}

}  // namespace vc::ui
