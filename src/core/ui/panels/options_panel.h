// The options panel: whether the bus frequency is applied at start-up
// ("Yes"/"No") and which one (saved or optimised), kept in memory at every
// click and written to save.dat only by "Save".
#pragma once

#include "core/ui/panels/skinned_panel.h"

namespace vc::ui {

inline constexpr const char* kMsgSaveOk = "Save OK!!";

class OptionsPanel : public SkinnedPanel {
public:
    OptionsPanel(PanelWindow& window, PanelContext& env);

private:
    void InitContent() override;
    void ContentCommand(int32_t id) override;

    void ShowApply(int32_t autoApply);
    void ShowSource(int32_t autoApplySource);
    void Save();
};

}  // namespace vc::ui
