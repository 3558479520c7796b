// A main window on the default simulated board, detected for real, with a
// machine that writes "measure" into the window's log at every processor
// clock measurement and the shipped pictures and data files.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/app/detection.h"
#include "core/board/temp_dir.h"
#include "core/ui/main/main_window.h"
#include "recording_main_shell.h"
#include "sim/machine_catalogue.h"

namespace vc::ui::test {

// Forwards everything to the simulated board; a measurement starts by
// asking the counter frequency, once per measurement.
class MeasureLoggingMachine : public Machine {
public:
    MeasureLoggingMachine(Machine& inner, std::vector<std::string>& log) : inner_(inner), log_(log) {}
    OsVersion GetOsVersion() override { return inner_.GetOsVersion(); }
    DeviceHandle OpenDevice(const std::string& n, DeviceOpenMode m) override { return inner_.OpenDevice(n, m); }
    void CloseDevice(DeviceHandle h) override { inner_.CloseDevice(h); }
    bool DeviceIoControl(DeviceHandle h, const DeviceRequest& r) override { return inner_.DeviceIoControl(h, r); }
    std::span<const uint8_t> ResolveBiosWindow(uint32_t a) override { return inner_.ResolveBiosWindow(a); }
    uint8_t InPort8(uint16_t p) override { return inner_.InPort8(p); }
    void OutPort8(uint16_t p, uint8_t v) override { inner_.OutPort8(p, v); }
    uint32_t InPort32(uint16_t p) override { return inner_.InPort32(p); }
    void OutPort32(uint16_t p, uint32_t v) override { inner_.OutPort32(p, v); }
    bool HasCpuid() override { return inner_.HasCpuid(); }
    CpuidRegs Cpuid(uint32_t leaf) override { return inner_.Cpuid(leaf); }
    bool DivisionTestSetsClone() override { return inner_.DivisionTestSetsClone(); }
    bool FlagsHighNibbleStuckSet() override { return inner_.FlagsHighNibbleStuckSet(); }
    bool FlagsHighNibbleStuckClear() override { return inner_.FlagsHighNibbleStuckClear(); }
    bool AlignmentCheckToggles() override { return inner_.AlignmentCheckToggles(); }
    uint64_t ReadTimeStampCounter() override { return inner_.ReadTimeStampCounter(); }
    void RunBitScanLoop(uint32_t i) override { inner_.RunBitScanLoop(i); }
    bool QueryPerformanceFrequency(uint64_t& f) override {
        log_.push_back("measure");
        return inner_.QueryPerformanceFrequency(f);
    }
    bool QueryPerformanceCounter(uint64_t& c) override { return inner_.QueryPerformanceCounter(c); }
    uint32_t TickCountMs() override { return inner_.TickCountMs(); }
    int32_t GetThreadPriority() override { return inner_.GetThreadPriority(); }
    void SetThreadPriority(int32_t p) override { inner_.SetThreadPriority(p); }

private:
    Machine& inner_;
    std::vector<std::string>& log_;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Context detectCtx{*sim, shell, kOsOther, std::string(VC_SOURCE_DIR) + "/data"};
        ASSERT_EQ(DetectSystem(info, detectCtx), 1);
        ctx = std::make_unique<Context>(Context{machine, shell, detectCtx.osKind, detectCtx.dataDirectory});
        shell.Take();
    }

    // Creates the window and starts the log over.
    MainWindow& Create(AutoApplySettings autoApply = {}) {
        window = std::make_unique<MainWindow>(info, *ctx, shell, pictures, MainWindowSetup{dir.Path(), autoApply});
        EXPECT_EQ(window->OnCreate(), 1);
        shell.Take();
        return *window;
    }
    MainWindow& CreateInAdvance() {
        Create().OnCommand(311);
        shell.Take();
        return *window;
    }
    void SetFineTune(int32_t flag) { info.board.clockGen->fineTune = flag; }
    std::vector<std::string> Run(uint32_t command) {
        window->OnCommand(command);
        return shell.Take();
    }

    RecordingMainShell shell;
    std::unique_ptr<sim::SimMachine> sim = sim::MakeDefaultMachine();
    MeasureLoggingMachine machine{*sim, shell.log};
    SystemInfo info;
    std::unique_ptr<Context> ctx;
    PictureStore pictures{std::string(VC_SOURCE_DIR) + "/resources"};
    vc::test::TempDir dir;
    std::unique_ptr<MainWindow> window;
};

}  // namespace vc::ui::test
