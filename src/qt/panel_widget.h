// A panel window the main window owns: a borderless skinned tool window
// showing the panel model's surface (its skinned frame), with the close
// button as an owner-drawn child, the template's standard controls on top
// and window timers; the progress popup instead wears a modal-dialog frame.
// Titles and frames are the core's (panel_templates.h). The model is made by
// the main window's panel models and owned here.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "core/ui/panels/panel_shell.h"
#include "qt/skinned_window_widget.h"

class QTimer;

namespace vc::qt {

class PanelWidget : public SkinnedWindowWidget, public ui::PanelWindow {
public:
    PanelWidget(QWidget* owner, const ui::PanelSpec& desc);
    ~PanelWidget() override;

    int32_t TemplateId() const { return templateId_; }
    // Takes the model and lets it initialise the window.
    void SetModel(std::unique_ptr<ui::PanelEvents> model);
    // Drops the model; the window stays, empty of behaviour.
    void DropModel();
    ui::PanelEvents* Model() const { return model_.get(); }
    // Every timer period is divided by this (tests run the popup faster).
    void SetTimerDivisor(int divisor) { timerDivisor_ = divisor < 1 ? 1 : divisor; }

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
    bool IsVisible() const override { return isVisible(); }
    void StartTimer(int32_t timerId, int32_t periodMs) override;
    void StopTimer(int32_t timerId) override;

    // --- what tests look at ---
    // Null for an id the template does not have.
    QWidget* Control(int32_t controlId) const;
    // The control's text; empty for an unknown id.
    std::string FieldText(int32_t fieldId) const;
    SkinButtonWidget* CloseButton() const { return ChildButtons().empty() ? nullptr : ChildButtons().front(); }
    bool IsTimerRunning(int32_t timerId) const;
    bool HasModalFrame() const { return modalFrame_; }

protected:
    ui::SkinnedWindowEvents* Events() const override { return model_.get(); }
    void PaintScreen() override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Resize(int width, int height);
    void SendCommand(int32_t id);

    int32_t templateId_;
    bool modalFrame_ = false;
    std::unique_ptr<ui::PanelEvents> model_;
    std::map<int32_t, QWidget*> controls_;
    std::map<int32_t, QTimer*> timers_;
    int timerDivisor_ = 1;
};

}  // namespace vc::qt
