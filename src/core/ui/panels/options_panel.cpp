#include "core/ui/panels/options_panel.h"

namespace vc::ui {

OptionsPanel::OptionsPanel(PanelWindow& window, PanelContext& env)
    : SkinnedPanel(*FindPanelRecord(kPanelOptions), window, env) {}

void OptionsPanel::InitContent() {
    CreateTemplateControls();
    const AutoApplySettings& settings = env_.autoApply;
    // Without save.dat (0) or with an unknown value everything starts
    // unchecked and both sources enabled.
    if (settings.autoApply != kAutoApplyYes && settings.autoApply != kAutoApplyNo) return;
    ShowApply(settings.autoApply);
    ShowSource(settings.autoApplySource);
}

// "Yes" and "No" are check boxes that the panel makes exclusive; checking
// one again after the box unchecked itself keeps it checked.
void OptionsPanel::ShowApply(int32_t autoApply) {
    const bool yes = autoApply == kAutoApplyYes;
    window_.SetControlChecked(kOptionYes, yes);
    window_.SetControlChecked(kOptionNo, !yes);
    // Disabled sources keep their marks, so "Yes" brings them back unchanged.
    window_.SetControlEnabled(kOptionUseSaved, yes);
    window_.SetControlEnabled(kOptionUseOptimal, yes);
}

void OptionsPanel::ShowSource(int32_t autoApplySource) {
    // A source other than 1 or 2 marks neither.
    if (autoApplySource == kAutoApplySourceSaved || autoApplySource == kAutoApplySourceOptimal) {
        window_.SetControlChecked(kOptionUseSaved, autoApplySource == kAutoApplySourceSaved);
        window_.SetControlChecked(kOptionUseOptimal, autoApplySource == kAutoApplySourceOptimal);
    }
}

void OptionsPanel::ContentCommand(int32_t id) {
    AutoApplySettings& settings = env_.autoApply;
    switch (id) {
        case kOptionYes:
            settings.autoApply = kAutoApplyYes;
            ShowApply(settings.autoApply);
            break;
        case kOptionNo:
            settings.autoApply = kAutoApplyNo;
            ShowApply(settings.autoApply);
            break;
        case kOptionUseSaved:
            settings.autoApplySource = kAutoApplySourceSaved;
            ShowSource(settings.autoApplySource);
            break;
        case kOptionUseOptimal:
            settings.autoApplySource = kAutoApplySourceOptimal;
            ShowSource(settings.autoApplySource);
            break;
        case kOptionSave:
            Save();
            break;
        default:
            break;
    }
}

void OptionsPanel::Save() {
    // A failed write shows nothing; the choice stays in memory as clicked.
    if (WriteAutoApplySettings(env_.programDirectory, env_.autoApply) != 0) {
        env_.ctx.shell.ShowMessage(kCaptionMessage, kMsgSaveOk);
    }
}

}  // namespace vc::ui
