// The models of the main window's five panels, built for the window system
// as it creates each panel's window (PanelModels).
#pragma once

#include <memory>

#include "core/ui/panels/panel_context.h"
#include "core/ui/panels/panel_shell.h"

namespace vc::ui {

class PanelSet : public PanelModels {
public:
    // `env` must outlive every model made.
    explicit PanelSet(PanelContext& env) : env_(env) {}

    std::unique_ptr<PanelEvents> Make(int32_t templateId, PanelWindow& window) override;

private:
    PanelContext& env_;
};

}  // namespace vc::ui
