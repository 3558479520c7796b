#include "core/ui/panels/panel_set.h"

#include "core/ui/panels/cpu_info_panel.h"
#include "core/ui/panels/options_panel.h"
#include "core/ui/panels/progress_popup.h"
#include "core/ui/panels/skinned_panel.h"

namespace vc::ui {

std::unique_ptr<PanelEvents> PanelSet::Make(int32_t templateId, PanelWindow& window) {
    switch (templateId) {
        case kPanelAdvanceHelp:
        case kPanelEasyHelp:
            return std::make_unique<SkinnedPanel>(*FindPanelRecord(templateId), window, env_);
        case kPanelOptions: return std::make_unique<OptionsPanel>(window, env_);
        case kPanelCpuInfo: return std::make_unique<CpuInfoPanel>(window, env_);
        case kPanelProgress: return std::make_unique<ProgressPopup>(window, env_);
        default: return nullptr;
    }
}

}  // namespace vc::ui
