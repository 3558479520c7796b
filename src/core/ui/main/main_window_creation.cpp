// The main window's creation sequence and the lookups it sets up.
#include <algorithm>
#include <utility>

#include "core/app/bus_fault_report.h"
#include "core/app/write_check_report.h"
#include "core/cpu/cpu_speed.h"
#include "core/state/startup_apply.h"
#include "core/ui/main/main_window.h"
#include "core/ui/main/main_window_tables.h"

namespace vc::ui {

namespace {

int32_t WidthOf(const Surface* picture) { return picture != nullptr ? picture->Width() : 0; }
int32_t HeightOf(const Surface* picture) { return picture != nullptr ? picture->Height() : 0; }

// A help panel holds its help picture inside the title strip, the two side
// edges and the bottom edge.
Rect HelpPanelSize(const Surface* title, const Surface* left, const Surface* right, const Surface* bottom,
                   const Surface* help) {
    return Rect{0, 0, WidthOf(left) + WidthOf(right) + WidthOf(help),
                HeightOf(title) + HeightOf(bottom) + HeightOf(help)};
}

}  // namespace

MainWindow::MainWindow(SystemInfo& info, Context& ctx, MainWindowShell& shell, PictureStore& pictures,
                       MainWindowSetup setup)
    : info_(info), ctx_(ctx), shell_(shell), pictures_(pictures), setup_(std::move(setup)) {
    lamps_ = LoadLamps(pictures_);
}

int32_t MainWindow::OnCreate() {
    autoOptimized_ = 0;

    easyBackground_ = pictures_.Get(kPictureEasyBackground);
    advanceBackground_ = pictures_.Get(kPictureAdvanceBackground);
    // The Advance face gives the window its size; without it the window
    // keeps its fixed size rather than collapsing to nothing.
    const int32_t width = advanceBackground_ != nullptr ? advanceBackground_->Width() : kMainWidth;
    const int32_t height = advanceBackground_ != nullptr ? advanceBackground_->Height() : kMainHeight;

    const ScreenSize screen = shell_.PrimaryScreenSize();
    shell_.PlaceMainWindow(RectAt((screen.width - width) / 2, (screen.height - height) / 2, width, height));
    windowRect_ = Rect{0, 0, width, height};

    fonts_.Load(pictures_);
    CreateButtons();
    ShowEasyControls();
    SetMainOutline(kLayoutCodeEasy, windowRect_);
    Measure(1);
    LoadPanelFrames();
    CreatePanels();
    // The icon is there before the start-up application can say anything,
    // so whoever reads its message can already see where the program lives.
    shell_.AddTrayIcon(kTrayIconId, kTrayTip);
    ApplyStartupChoice();
    shell_.LoadPopupMenu();
    return 1;
}

void MainWindow::CreateButtons() {
    const ClockGenRecord* clockGen = info_.clockGen();
    const bool fineTune = clockGen != nullptr && clockGen->fineTune != 0;
    const auto places = MainButtons();
    for (size_t i = 0; i < places.size(); ++i) {
        const ButtonPlace& place = places[i];
        MainButton& button = buttons_[i];
        button = MainButton{};
        button.skin.id = place.id;  // known even when the button is never made
        if (place.fineTuneOnly && !fineTune) continue;
        SkinButton& skin = button.skin;
        skin = SkinButtonFor(place);
        skin.Create(shell_, pictures_, place.id);
        button.present = true;
    }
}

void MainWindow::LoadPanelFrames() {
    const Surface* title = pictures_.Get(kPictureTitleStrip);
    const Surface* left = pictures_.Get(kPictureLeftEdge);
    const Surface* right = pictures_.Get(kPictureRightEdge);
    const Surface* bottom = pictures_.Get(kPictureBottomEdge);
    const Surface* advanceHelp = pictures_.Get(kPictureAdvanceHelp);
    const Surface* easyHelp = pictures_.Get(kPictureEasyHelp);
    panelSizes_.advanceHelp = HelpPanelSize(title, left, right, bottom, advanceHelp);
    panelSizes_.easyHelp = HelpPanelSize(title, left, right, bottom, easyHelp);
}

void MainWindow::CreatePanels() {
    const std::array<Rect, kPanelTemplates.size()> sizes{panelSizes_.advanceHelp, panelSizes_.easyHelp,
                                                         panelSizes_.options, panelSizes_.cpuInfo,
                                                         Rect{0, 0, 0, 0}};
    for (size_t i = 0; i < kPanelTemplates.size(); ++i) {
        panels_[i] = shell_.CreatePanel(PanelSpec{kPanelTemplates[i], sizes[i]});
    }
}

void MainWindow::ApplyStartupChoice() {
    const StartupApplyResult result =
        ApplySavedChoiceAtStartup(info_, ctx_, setup_.autoApply, setup_.programDirectory, autoOptimized_);
    EndOnBusFault(ctx_, result.write.fault);
    if (result.applied == StartupApplied::Optimal) {
        if (SkinButton* autoButton = Button(kButtonAutoOptimize)) autoButton->onState = 1;
    }
    ReportWriteCheck(ctx_, result.check);
    startupPending_ = result.pendingRecorded;
    if (startupPending_) shell_.StartTimer(kTimerStartupSettled, kStartupSettledMs);
}

void MainWindow::SettleStartupChoice() {
    if (!startupPending_) return;
    shell_.StopTimer(kTimerStartupSettled);
    ClearPendingStartup(setup_.programDirectory);
    startupPending_ = false;
}

void MainWindow::OnTimer(int32_t timerId) {
    if (timerId == kTimerStartupSettled) SettleStartupChoice();
}

void MainWindow::OnEnding() { SettleStartupChoice(); }

PanelHandle MainWindow::Panel(int32_t templateId) const {
    const auto* found = std::find(kPanelTemplates.begin(), kPanelTemplates.end(), templateId);
    if (found == kPanelTemplates.end()) return kNoPanel;
    return panels_[static_cast<size_t>(found - kPanelTemplates.begin())];
}

const SkinButton* MainWindow::Button(int32_t id) const {
    for (const MainButton& button : buttons_) {
        if (button.present && button.skin.id == id) return &button.skin;
    }
    return nullptr;
}

SkinButton* MainWindow::Button(int32_t id) {
    return const_cast<SkinButton*>(std::as_const(*this).Button(id));
}

void MainWindow::Measure(int32_t times) {
    for (int32_t i = 0; i < times; ++i) RefreshCPU(info_.cpu, ctx_);
}

}  // namespace vc::ui
