// A panel window the main window owns: a borderless tool window showing the
// panel model's surface (its skinned frame), with the close button as an
// owner-drawn child, the template's standard controls on top, window timers
// and mouse capture. The model is made by the main window's panel models
// and owned here.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QRegion>
#include <QWidget>

#include "core/ui/main/main_window_shell.h"
#include "core/ui/panels/panel_shell.h"

class QTimer;

namespace vc::qt {

class SkinButtonWidget;

class PanelWidget : public QWidget, public ui::PanelWindow {
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

    // --- WindowHost ---
    ui::Surface& Screen() override { return screen_; }
    void Present(const ui::Rect& area) override;
    void Invalidate(const ui::Rect& area, bool erase) override;
    ui::ChildHandle CreateChildButton(const ui::ChildButtonSpec& desc) override;

    // --- PanelWindow ---
    void CreateControl(const ui::ControlSpec& desc) override;
    void SetControlText(int32_t controlId, const std::string& text) override;
    void SetControlChecked(int32_t controlId, bool checked) override;
    void SetControlEnabled(int32_t controlId, bool enabled) override;
    ui::Rect ScreenRect() const override;
    ui::ScreenSize PrimaryScreenSize() const override;
    void PlaceHidden(const ui::Rect& screenRect) override;
    void MoveTo(const ui::Rect& screenRect) override;
    void PlaceOnTop(const ui::Rect& screenRect) override;
    void Show(bool show) override;
    bool IsVisible() const override { return isVisible(); }
    void StartTimer(int32_t timerId, int32_t periodMs) override;
    void StopTimer(int32_t timerId) override;
    void CaptureMouse() override;
    void ReleaseMouse() override;

    // Paints what was invalidated, now.
    void PaintPendingAreas();

    // --- what tests look at ---
    // Null for an id the template does not have.
    QWidget* Control(int32_t controlId) const;
    // The control's text; empty for an unknown id.
    std::string FieldText(int32_t fieldId) const;
    SkinButtonWidget* CloseButton() const { return children_.empty() ? nullptr : children_.front(); }
    const QImage& Display() const { return display_; }
    bool IsTimerRunning(int32_t timerId) const;
    bool IsMouseCaptured() const { return captured_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Resize(int width, int height);
    void SendCommand(int32_t id);

    int32_t templateId_;
    std::unique_ptr<ui::PanelEvents> model_;
    ui::Surface screen_;
    QImage display_;
    QRegion pending_;
    bool paintQueued_ = false;
    std::vector<SkinButtonWidget*> children_;
    std::map<int32_t, QWidget*> controls_;
    std::map<int32_t, QTimer*> timers_;
    int timerDivisor_ = 1;
    bool captured_ = false;
};

}  // namespace vc::qt
