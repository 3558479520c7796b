// The main window on the desktop: a frameless 526 x 216 top-level window
// whose visible part follows the layout's outline, showing the core's
// screen surface, with the skin buttons as child widgets, the tray icon and
// its popup menu, and the panels the window owns.
//
// Painting works as on the original window system: invalidated areas are
// collected and painted later, when the event loop is free, by letting the
// model draw its face and putting those areas on the display; the
// animations instead present each frame at once, without the event loop, so
// they block the window exactly as long as they run.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include <QIcon>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include "core/ui/main/main_window_shell.h"
#include "core/ui/panels/panel_shell.h"
#include "core/ui/surface.h"

class QMenu;
class QAction;
class QSystemTrayIcon;

namespace vc::qt {

class SkinButtonWidget;
class PanelWidget;

class MainWindowWidget : public QWidget, public ui::MainWindowShell {
public:
    explicit MainWindowWidget(QIcon trayIcon = {});
    ~MainWindowWidget() override;

    // Where events go; set before the model's creation runs.
    void SetEvents(ui::MainWindowEvents* events) { events_ = events; }
    // Who makes the panels' models; set before the model's creation runs.
    // Without it the panels stay empty hidden windows.
    void SetPanelModels(ui::PanelModels* models) { panelModels_ = models; }
    // Drops every panel's model (before the models' world goes away).
    void DropPanelModels();
    // Every panel timer period is divided by this (tests only).
    void SetPanelTimerDivisor(int divisor);
    // Called once, after the first paint of the visible window.
    void SetOnFirstPaint(std::function<void()> firstPaint) { onFirstPaint_ = std::move(firstPaint); }

    // --- WindowHost ---
    ui::Surface& Screen() override { return screen_; }
    void Present(const ui::Rect& area) override;
    void Invalidate(const ui::Rect& area, bool erase) override;
    ui::ChildHandle CreateChildButton(const ui::ChildButtonSpec& desc) override;

    // --- MainWindowShell ---
    void ShowChild(ui::ChildHandle child, bool show) override;
    void ShowMainWindow(bool show) override;
    bool IsMainWindowVisible() const override;
    ui::ScreenSize PrimaryScreenSize() const override;
    ui::Rect MainWindowScreenRect() const override;
    void PlaceMainWindow(const ui::Rect& screenRect) override;
    void MoveMainWindow(const ui::Rect& screenRect) override;
    void CloseMainWindow() override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    void SetOutline(std::span<const ui::OutlineVertex> polygon) override;
    void RepaintScreen() override;
    void LoadPopupMenu() override;
    void SetMenuItemEnabled(int32_t commandId, bool enabled) override;
    void AddTrayIcon(uint32_t iconId, const std::string& tip) override;
    void RemoveTrayIcon(uint32_t iconId) override;
    void OpenPopupMenuAtPointer() override;
    ui::PanelHandle CreatePanel(const ui::PanelSpec& desc) override;
    void ShowPanel(ui::PanelHandle panel, bool show) override;
    void SetPanelText(ui::PanelHandle panel, int32_t fieldId, const std::string& text) override;

    // Paints what was invalidated, now (the window system's update request).
    void PaintPendingAreas();

    // True while a tray shows our icon, so the window can be reached there.
    bool TrayIconReachable() const;
    // Another start asked for the window: without a reachable tray icon it
    // is shown as the menu's "Show" shows it, and raised.
    void OnShowRequest();

    // --- what tests and the display check look at ---
    const QImage& Display() const { return display_; }
    SkinButtonWidget* ChildButton(int32_t id) const;
    PanelWidget* Panel(int32_t templateId) const;
    QMenu* PopupMenu() const { return menu_; }
    QAction* MenuItem(int32_t commandId) const;
    QSystemTrayIcon* TrayIcon() const { return tray_; }
    bool IsMouseCaptured() const { return captured_; }
    bool IsClosed() const { return closed_; }
    // Counts every frame put on the display outside the paint cycle.
    int PresentCount() const { return presentCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SendCommandLater(uint32_t commandValue);

    ui::MainWindowEvents* events_ = nullptr;
    ui::PanelModels* panelModels_ = nullptr;
    int panelTimerDivisor_ = 1;
    ui::Surface screen_;
    QImage display_;  // what the window shows
    QRegion pending_;
    bool paintQueued_ = false;
    std::vector<SkinButtonWidget*> children_;  // handle - 1
    std::vector<PanelWidget*> panels_;         // handle - 1
    QIcon trayIconPicture_;
    QMenu* menu_ = nullptr;
    std::map<int32_t, QAction*> menuItems_;
    QSystemTrayIcon* tray_ = nullptr;
    bool captured_ = false;
    bool closed_ = false;
    int presentCount_ = 0;
    std::function<void()> onFirstPaint_;
};

}  // namespace vc::qt
