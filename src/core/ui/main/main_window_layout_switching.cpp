// The two layouts: which controls each shows, the outline, and the switches
// with their transitions.
#include "core/board/frequency_stepping.h"
#include "core/ui/animations.h"
#include "core/ui/main/main_window.h"
#include "core/ui/main/main_window_tables.h"
#include "core/ui/outlines.h"

namespace vc::ui {

void MainWindow::ShowSet(std::span<const int32_t> ids, bool show) {
    for (int32_t id : ids) {
        const SkinButton* button = Button(id);
        if (button != nullptr && button->window != kNoChild) shell_.ShowChild(button->window, show);
    }
}

void MainWindow::ShowEasyControls() {
    ShowSet(kAdvanceSet, false);
    ShowSet(kEasySet, true);
}

void MainWindow::ShowAdvanceControls() {
    ShowSet(kAdvanceSet, true);
    ShowSet(kEasySet, false);
}

void MainWindow::HideAllControls() {
    ShowSet(kEasySet, false);
    ShowSet(kAdvanceSet, false);
}

void MainWindow::SetMainOutline(int32_t layoutCode, const Rect& invalidate) {
    shell_.SetOutline(OutlineForLayout(layoutCode));
    shell_.Invalidate(invalidate, true);
    // What lay under the part the new outline no longer covers.
    shell_.RepaintScreen();
}

// The panels of the layout being left are hidden and their buttons lose
// their on face.
void MainWindow::LeaveLayoutPanels(std::span<const int32_t> panels, std::span<const int32_t> clearedButtons,
                                   std::span<const int32_t> invalidatedButtons) {
    for (int32_t panel : panels) shell_.ShowPanel(Panel(panel), false);
    for (int32_t id : clearedButtons) {
        if (SkinButton* button = Button(id)) button->onState = 0;
    }
    for (int32_t id : invalidatedButtons) {
        if (const SkinButton* button = Button(id)) button->Invalidate(shell_);
    }
}

void MainWindow::EnterAdvanceLayout() {
    shell_.SetMenuItemEnabled(kMenuEasyMode, true);
    shell_.SetMenuItemEnabled(kMenuAdvanceMode, false);
    constexpr std::array<int32_t, 3> panels{kPanelOptions, kPanelEasyHelp, kPanelCpuInfo};
    constexpr std::array<int32_t, 3> cleared{kButtonEasyHelp, kButtonEasyCpuInfo, kButtonEasyOptions};
    constexpr std::array<int32_t, 3> invalidated{kButtonEasyOptions, kButtonEasyCpuInfo, kButtonEasyHelp};
    LeaveLayoutPanels(panels, cleared, invalidated);
    HideAllControls();
    // The outline grows first, then the Advance face rises into it.
    SetMainOutline(kLayoutCodeAdvance, windowRect_);
    shell_.Invalidate(windowRect_, true);
    // Where the rising face is transparent above the Easy face, a frame
    // shows what the screen holds there: the Advance face in its final
    // place, never pixels left from an earlier layout or none at all.
    DrawPicture(shell_.Screen(), advanceBackground_, 0, 0);
    TransitionToAdvance(shell_, ctx_.machine.clock, advanceBackground_, easyBackground_);
    ShowAdvanceControls();
    layoutMode_ = kLayoutCodeAdvance;
    RefreshEntry(info_);
}

void MainWindow::EnterEasyLayout(int32_t refreshCount) {
    shell_.SetMenuItemEnabled(kMenuEasyMode, false);
    shell_.SetMenuItemEnabled(kMenuAdvanceMode, true);
    constexpr std::array<int32_t, 3> panels{kPanelOptions, kPanelAdvanceHelp, kPanelCpuInfo};
    constexpr std::array<int32_t, 3> cleared{kButtonAdvanceHelp, kButtonAdvanceCpuInfo, kButtonAdvanceOptions};
    constexpr std::array<int32_t, 3> invalidated{kButtonAdvanceOptions, kButtonAdvanceCpuInfo, kButtonAdvanceHelp};
    LeaveLayoutPanels(panels, cleared, invalidated);
    HideAllControls();
    shell_.Invalidate(windowRect_, true);
    // The Easy face rises inside the Advance outline, which shrinks after.
    TransitionToEasy(shell_, ctx_.machine.clock, advanceBackground_, easyBackground_);
    SetMainOutline(kLayoutCodeEasy, windowRect_);
    layoutMode_ = kLayoutCodeEasy;
    ShowEasyControls();
    Measure(refreshCount);
}

}  // namespace vc::ui
