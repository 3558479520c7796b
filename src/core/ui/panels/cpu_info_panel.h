// The processor information panel: the processor's identification, fixed
// from creation, and its measured clocks and multiplier, rewritten at every
// paint and on "Refresh" (which measures twice first).
#pragma once

#include "core/ui/panels/skinned_panel.h"

namespace vc::ui {

class CpuInfoPanel : public SkinnedPanel {
public:
    CpuInfoPanel(PanelWindow& window, PanelContext& env);

private:
    void InitContent() override;
    void BeforeFrame() override;
    void ContentCommand(int32_t id) override;
};

}  // namespace vc::ui
