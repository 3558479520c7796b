// The main window's command table: what each skin button and tray-menu item
// does.
#include <cstdio>

#include "core/app/bus_fault_report.h"
#include "core/app/write_check_report.h"
#include "core/board/auto_overclock.h"
#include "core/board/frequency_stepping.h"
#include "core/state/settings_file.h"
#include "core/ui/animations.h"
#include "core/ui/main/main_window.h"
#include "core/ui/main/main_window_tables.h"

namespace vc::ui {

inline constexpr const char* kMsgLoadOk = "Setting Load OK";
inline constexpr const char* kMsgLoadFailure = "Setting Load Failure,Maybe no data or data not match";
inline constexpr int32_t kGoFlashStepMs = 200;

struct MainWindow::CommandRow {
    int32_t id;
    void (MainWindow::*run)();
};

namespace {

std::string ClockText(double mhz) {
    char text[32];
    std::snprintf(text, sizeof text, "%4.2f", mhz);
    return text;
}

}  // namespace

const MainWindow::CommandRow* MainWindow::FindCommand(int32_t id) {
    static constexpr std::array<CommandRow, 18> kCommands{{
        {kButtonSave, &MainWindow::Save},
        {kButtonLoad, &MainWindow::Load},
        {kButtonGo, &MainWindow::Go},
        {kButtonUp, &MainWindow::Up},
        {kButtonDown, &MainWindow::Down},
        {kButtonDefault, &MainWindow::Default},
        {kButtonAdvancedMode, &MainWindow::AdvanceMode},
        {kMenuAdvanceMode, &MainWindow::AdvanceMode},
        {kButtonEasyMode, &MainWindow::EasyModeButton},
        {kMenuEasyMode, &MainWindow::EasyModeMenu},
        {kButtonAutoOptimize, &MainWindow::AutoOptimize},
        {kButtonAdvancePower, &MainWindow::PowerOff},
        {kButtonEasyPower, &MainWindow::PowerOff},
        {kMenuHide, &MainWindow::MenuHide},
        {kMenuShow, &MainWindow::MenuShow},
        {kMenuExit, &MainWindow::Exit},
        {kButtonFineTuneIndicator, &MainWindow::FineTuneIndicator},
        {kButtonFineTune, nullptr},  // shows its pressed face only
    }};
    for (const CommandRow& row : kCommands) {
        if (row.id == id) return &row;
    }
    return nullptr;
}

void MainWindow::OnCommand(uint32_t commandValue) {
    // Only a click or a menu choice (notification code 0 in the high half)
    // is a command; a double-click notification matches nothing.
    if ((commandValue >> 16) != 0) return;
    const auto id = static_cast<int32_t>(commandValue);
    if (TogglePanel(id)) return;
    const CommandRow* row = FindCommand(id);
    if (row != nullptr && row->run != nullptr) (this->*row->run)();
}

void MainWindow::InvalidateFourDisplays() {
    for (const Rect& area : {kBusDisplayArea, kAdvanceCpuDisplayArea, kPciDisplayArea, kMemDisplayArea}) {
        shell_.Invalidate(area, true);
    }
}

void MainWindow::WriteCpuInfoFields() {
    const PanelHandle panel = Panel(kPanelCpuInfo);
    shell_.SetPanelText(panel, kFieldInternalClock, ClockText(info_.cpu.cpuClockMHz));
    shell_.SetPanelText(panel, kFieldExternalClock, ClockText(info_.cpu.busClockMHz));
}

void MainWindow::Save() { SaveSettings(info_, setup_.programDirectory); }

void MainWindow::Load() {
    if (LoadSettings(info_, setup_.programDirectory) != 0) {
        InvalidateFourDisplays();
        ctx_.shell.ShowMessage(kCaptionMessage, kMsgLoadOk);
    } else {
        ctx_.shell.ShowMessage(kCaptionMessage, kMsgLoadFailure);
    }
}

void MainWindow::Go() {
    // The gauge stays lit afterwards: nothing here repaints it.
    PlayFlashAnimation(shell_, ctx_.machine.clock, lamps_, kGoFlashStepMs);
    const WriteOutcome outcome = ApplyEntry(info_);
    EndOnBusFault(ctx_, outcome.fault);
    Measure(2);
    WriteCpuInfoFields();
    ReportWriteCheck(ctx_, CheckAppliedEntry(info_, outcome));
}

void MainWindow::Up() {
    NextEntry(info_);
    InvalidateFourDisplays();
}

void MainWindow::Down() {
    PreviousEntry(info_);
    InvalidateFourDisplays();
}

void MainWindow::Default() {
    DefaultEntry(info_);
    InvalidateFourDisplays();
}

void MainWindow::AdvanceMode() { EnterAdvanceLayout(); }
void MainWindow::EasyModeButton() { EnterEasyLayout(1); }
void MainWindow::EasyModeMenu() { EnterEasyLayout(2); }

void MainWindow::AutoOptimize() {
    if (autoOptimized_ == 0) {
        // The progress popup runs the search and calls AutoOverclock at its end.
        shell_.ShowPanel(Panel(kPanelProgress), true);
        return;
    }
    autoOptimized_ = 0;
    if (SkinButton* button = Button(kButtonAutoOptimize)) button->onState = 0;
    DefaultEntry(info_);
    const WriteOutcome outcome = ApplyEntry(info_);
    EndOnBusFault(ctx_, outcome.fault);
    Measure(2);
    shell_.Invalidate(kEasyCpuDisplayArea, true);
    shell_.Invalidate(kAutoOptimizeButtonArea, true);
    Measure(2);
    WriteCpuInfoFields();
    ReportWriteCheck(ctx_, CheckAppliedEntry(info_, outcome));
}

int32_t MainWindow::AutoOverclock() {
    const AutoOverclockResult result = vc::AutoOverclock(info_, ctx_, autoOptimized_, [this] {
        if (SkinButton* button = Button(kButtonAutoOptimize)) button->onState = 1;
    });
    EndOnBusFault(ctx_, result.write.fault);
    shell_.Invalidate(kEasyCpuDisplayArea, true);
    shell_.Invalidate(kAutoOptimizeButtonArea, true);
    ReportWriteCheck(ctx_, CheckAppliedEntry(info_, result.write));
    return 1;
}

void MainWindow::PowerOff() {
    shell_.SetMenuItemEnabled(kMenuShow, true);
    shell_.SetMenuItemEnabled(kMenuHide, false);
    shell_.ShowMainWindow(false);
    HintWhenUnreachable();
}

void MainWindow::MenuHide() {
    shell_.ShowMainWindow(false);
    shell_.SetMenuItemEnabled(kMenuHide, false);
    shell_.SetMenuItemEnabled(kMenuShow, true);
    HintWhenUnreachable();
}

void MainWindow::HintWhenUnreachable() {
    // A user who started the program from a menu never sees standard error.
    if (noTrayHintShown_ || shell_.TrayIconReachable()) return;
    noTrayHintShown_ = true;
    ctx_.shell.ShowMessage(kCaptionMessage, kNoTrayHint);
}

void MainWindow::MenuShow() {
    shell_.ShowMainWindow(true);
    shell_.SetMenuItemEnabled(kMenuShow, false);
    shell_.SetMenuItemEnabled(kMenuHide, true);
}

void MainWindow::Exit() {
    SettleStartupChoice();
    shell_.RemoveTrayIcon(kTrayIconId);
    shell_.CloseMainWindow();
}

void MainWindow::FineTuneIndicator() {
    SkinButton* indicator = Button(kButtonFineTuneIndicator);
    if (indicator == nullptr) return;  // a board without fine tuning has none
    indicator->onState = indicator->onState == 0 ? 1 : 0;
    RefreshEntry(info_);
    shell_.Invalidate(kFineTuneIndicatorArea, true);
    InvalidateFourDisplays();
}

bool MainWindow::TogglePanel(int32_t buttonId) {
    const PanelToggle* toggle = nullptr;
    for (const PanelToggle& row : kPanelToggles) {
        if (row.buttonId == buttonId) toggle = &row;
    }
    if (toggle == nullptr) return false;
    SkinButton* button = Button(buttonId);
    if (button == nullptr) return true;
    const PanelHandle panel = Panel(toggle->panelTemplate);
    if (button->onState != 0) {
        shell_.ShowPanel(panel, false);
        button->onState = 0;
    } else {
        if (toggle->measuresFirst) Measure(1);
        shell_.ShowPanel(panel, true);
        button->onState = 1;
    }
    button->Invalidate(shell_);
    return true;
}

}  // namespace vc::ui
