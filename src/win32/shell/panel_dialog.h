// A panel (the four skinned panels and the progress popup) on Windows: a
// modeless dialog from its template in the program's resources, owned by the
// main window. The template already holds the standard controls the core's
// template table lists (the resource script is written from that table), so
// creating a control adopts the template's next one: placed in the core's
// pixels, given the core's text, shown.
#pragma once

#include "win32/shell/windows_api.h"

#include <map>
#include <memory>
#include <vector>

#include "core/ui/panels/panel_shell.h"
#include "win32/shell/skinned_window.h"

namespace vc::win32 {

class PanelDialog : public SkinnedWindow, public ui::PanelWindow {
public:
    PanelDialog(HINSTANCE instance, const ui::PanelSpec& desc);
    ~PanelDialog() override;

    // Creates the hidden dialog owned by `owner`; its model from `models`
    // (may be null: the panel stays empty) initialises it before this
    // returns. False when the template cannot be made into a window.
    bool Create(HWND owner, ui::PanelModels* models);
    // Drops the model; the window stays, empty of behaviour.
    void DropModel() { model_.reset(); }
    int32_t TemplateId() const { return spec_.templateId; }

    // --- PanelWindow ---
    void CreateControl(const ui::ControlSpec& desc) override;
    void SetControlText(int32_t controlId, const std::string& text) override;
    void SetControlChecked(int32_t controlId, bool checked) override;
    void SetControlEnabled(int32_t controlId, bool enabled) override;
    ui::Rect ScreenRect() const override;
    void PlaceHidden(const ui::Rect& screenRect) override;
    void MoveTo(const ui::Rect& screenRect) override;
    void PlaceOnTop(const ui::Rect& screenRect) override;
    void Show(bool show) override;
    bool IsVisible() const override;
    void StartTimer(int32_t timerId, int32_t periodMs) override;
    void StopTimer(int32_t timerId) override;

protected:
    ui::SkinnedWindowEvents* Events() const override { return model_.get(); }
    void PrepareScreen() override;

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    HWND Control(int32_t controlId) const;

    ui::PanelSpec spec_;
    ui::PanelModels* models_ = nullptr;
    std::unique_ptr<ui::PanelEvents> model_;
    std::vector<HWND> templateControls_;  // in template order
    size_t nextTemplateControl_ = 0;
    std::map<int32_t, HWND> controls_;
};

}  // namespace vc::win32
