// What the four skinned panels share: sizing and centring at creation, the
// close button, the frame, the closing rules and dragging. The help panels
// are this and nothing more; the options and processor information panels
// add their controls through the three hooks.
#pragma once

#include <cstdint>

#include "core/ui/geometry.h"
#include "core/ui/panels/panel_context.h"
#include "core/ui/panels/panel_shell.h"
#include "core/ui/panels/panel_templates.h"
#include "core/ui/skin_button.h"

namespace vc::ui {

class SkinnedPanel : public PanelEvents {
public:
    SkinnedPanel(const PanelRecord& record, PanelWindow& window, PanelContext& env);

    int32_t OnInit() final;
    void OnPaint() final;
    int32_t OnDrawItem(const DrawItemRequest& request) final;
    void OnCommand(uint32_t commandValue) final;
    void OnLeftButtonDown(int16_t x, int16_t y) final;
    void OnMouseMove(uint32_t keyFlags, int16_t x, int16_t y) final;
    void OnLeftButtonUp() final;
    void OnTimer(int32_t) final {}
    void OnShown() final {}

    // The panel's size as the main window worked it out at its creation.
    Rect Size() const;
    const SkinButton& CloseButton() const { return closeButton_; }
    Point DragAnchor() const { return dragAnchor_; }

protected:
    // After the close button exists: create and fill the template's controls.
    virtual void InitContent() {}
    // Before the frame is painted.
    virtual void BeforeFrame() {}
    // A command that does not close the panel.
    virtual void ContentCommand(int32_t) {}

    // Creates the template's controls in template order.
    void CreateTemplateControls();

    const PanelRecord& record_;
    PanelWindow& window_;
    PanelContext& env_;

private:
    void Close();

    SkinButton closeButton_;
    Point dragAnchor_;
};

}  // namespace vc::ui
