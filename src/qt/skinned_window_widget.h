// What every skinned window on the desktop has in common: the model's
// screen surface and the image the window shows, the paint cycle, frames
// presented at once, owner-drawn child buttons, mouse capture, and the
// mouse on the window's background handed to the model.
//
// Painting works as on the original window system: invalidated areas are
// collected and painted later, when the event loop is free, by letting the
// model draw its face and putting those areas on the display; the
// animations instead present each frame at once, without the event loop, so
// they block the window exactly as long as they run. An area the window
// system asks for again (uncovered, shown again, moved) counts as
// invalidated: the model paints it anew, and what an animation left there
// is gone, while the rest of the display keeps it.
#pragma once

#include <vector>

#include <QImage>
#include <QRegion>
#include <QWidget>

#include "core/ui/skinned_window_events.h"
#include "core/ui/skinned_window_shell.h"
#include "core/ui/surface.h"

namespace vc::qt {

class SkinButtonWidget;

class SkinnedWindowWidget : public QWidget, public virtual ui::SkinnedWindowShell {
public:
    ~SkinnedWindowWidget() override;

    // --- SkinnedWindowShell ---
    ui::Surface& Screen() override { return screen_; }
    void Present(const ui::Rect& area) override;
    void Invalidate(const ui::Rect& area, bool erase) override;
    ui::ChildHandle CreateChildButton(const ui::ChildButtonSpec& desc) override;
    ui::ScreenSize PrimaryScreenSize() const override;
    void CaptureMouse() override;
    void ReleaseMouse() override;

    // Paints what was invalidated, now (the window system's update request).
    void PaintPendingAreas();

    // --- what tests and the display check look at ---
    const QImage& Display() const { return display_; }
    bool IsMouseCaptured() const { return captured_; }
    // Counts every frame put on the display outside the paint cycle.
    int PresentCount() const { return presentCount_; }

protected:
    SkinnedWindowWidget(QWidget* parent, Qt::WindowFlags flags);

    // Where the window's events go; null while the window has no model.
    virtual ui::SkinnedWindowEvents* Events() const = 0;
    // Has the model draw into Screen() before pending areas are shown.
    virtual void PaintScreen();
    // The pending `areas` are on their way to the display.
    virtual void OnAreasPainted(const QRegion& areas);

    // A new screen surface (as large as the window) and a display showing it.
    void ReplaceScreen(ui::Surface screen);
    // In creation order: a child's handle is its index + 1.
    const std::vector<SkinButtonWidget*>& ChildButtons() const { return children_; }

    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ui::Surface screen_;
    QImage display_;  // what the window shows
    QRegion pending_;
    bool paintQueued_ = false;
    std::vector<SkinButtonWidget*> children_;
    bool captured_ = false;
    int presentCount_ = 0;
};

}  // namespace vc::qt
