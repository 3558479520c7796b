// The processor information panel: identification at creation, measured
// clocks at every paint, "Refresh", and the fields other commands write.
#include <algorithm>

#include "core/cpu/cpu_speed.h"
#include "core/ui/panels/cpu_info_panel.h"
#include "panels_fixture.h"

namespace vc::ui::test {
namespace {

class CpuInfoPanelTest : public PanelsTest {
protected:
    FakePanelWindow& Cpu() { return Panel(kPanelCpuInfo); }
    std::vector<std::string> Writes(const std::vector<std::string>& log) {
        std::vector<std::string> writes;
        std::copy_if(log.begin(), log.end(), std::back_inserter(writes),
                     [](const std::string& line) { return line.rfind("text ", 0) == 0; });
        return writes;
    }
};

TEST_F(CpuInfoPanelTest, ShowsTheIdentificationFromCreation) {
    Create();
    EXPECT_EQ(Cpu().Text(kFieldVendor), std::string(info.cpu.vendorId));
    EXPECT_EQ(Cpu().Text(kFieldFamily), std::to_string(info.cpu.family));
    EXPECT_EQ(Cpu().Text(kFieldModel), std::to_string(info.cpu.model));
    EXPECT_EQ(Cpu().Text(kFieldStepping), std::to_string(info.cpu.stepping));
    EXPECT_FALSE(Cpu().Text(kFieldVendor).empty());
}

TEST_F(CpuInfoPanelTest, AVendorWithoutTerminatorStaysWithinItsField) {
    std::fill(std::begin(info.cpu.vendorId), std::end(info.cpu.vendorId), 'A');
    Create();
    EXPECT_EQ(Cpu().Text(kFieldVendor), std::string(sizeof info.cpu.vendorId, 'A'));
}

TEST_F(CpuInfoPanelTest, EveryPaintShowsTheLastMeasurement) {
    Create();
    sim->SetBusClockMHz(133.3);
    RefreshCPU(info.cpu, *ctx);
    Cpu().Take();
    shell.Model(kPanelCpuInfo).OnPaint();
    EXPECT_EQ(Writes(Cpu().Take()),
              (std::vector<std::string>{"text 1039 [" + Fixed2(info.cpu.cpuClockMHz) + "]",
                                        "text 1041 [" + Fixed2(info.cpu.multiplier) + "]",
                                        "text 1040 [" + Fixed2(info.cpu.busClockMHz) + "]"}));
    EXPECT_NEAR(info.cpu.busClockMHz, 133.3, 0.5);
}

TEST_F(CpuInfoPanelTest, RefreshMeasuresTwiceAndRewritesTheTwoClocks) {
    Create();
    window->OnCommand(kButtonEasyCpuInfo);
    sim->SetBusClockMHz(112.0);
    TakeAll();
    Cpu().Click(kCpuRefresh);
    const std::vector<std::string> log = shell.Take();
    EXPECT_EQ(std::count(log.begin(), log.end(), "measure"), 2);
    EXPECT_EQ(Writes(Cpu().Take()),
              (std::vector<std::string>{"text 1039 [" + Fixed2(info.cpu.cpuClockMHz) + "]",
                                        "text 1040 [" + Fixed2(info.cpu.busClockMHz) + "]"}));
    EXPECT_NEAR(info.cpu.busClockMHz, 112.0, 0.5);
    EXPECT_TRUE(Cpu().visible);  // Refresh does not close the panel
}

// Stepping without applying changes nothing measured; GO writes the two
// fields at once, shown or hidden.
TEST_F(CpuInfoPanelTest, ShowsMeasuredValuesOnlyAndGoWritesThemAtOnce) {
    Create();
    window->OnCommand(kButtonAdvancedMode);
    shell.Model(kPanelCpuInfo).OnPaint();
    const std::string before = Cpu().Text(kFieldExternalClock);
    window->OnCommand(kButtonUp);
    window->OnCommand(kButtonUp);
    shell.Model(kPanelCpuInfo).OnPaint();
    EXPECT_EQ(Cpu().Text(kFieldExternalClock), before);
    window->OnCommand(kButtonGo);
    EXPECT_EQ(Cpu().Text(kFieldExternalClock), Fixed2(info.cpu.busClockMHz));
    EXPECT_NE(Cpu().Text(kFieldExternalClock), before);
}

}  // namespace
}  // namespace vc::ui::test
