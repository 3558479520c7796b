// The main window on the desktop: a frameless 526 x 216 top-level skinned
// window whose visible part follows the layout's outline, with the tray
// icon and its popup menu, and the panels the window owns.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include <QIcon>

#include "core/ui/main/main_window_shell.h"
#include "core/ui/panels/panel_shell.h"
#include "qt/skinned_window_widget.h"

class QMenu;
class QAction;
class QSystemTrayIcon;
class QTimer;

namespace vc::qt {

class PanelWidget;

class MainWindowWidget : public SkinnedWindowWidget, public ui::MainWindowShell {
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

    // --- MainWindowShell ---
    void ShowChild(ui::ChildHandle child, bool show) override;
    void ShowMainWindow(bool show) override;
    bool IsMainWindowVisible() const override;
    ui::Rect MainWindowScreenRect() const override;
    void PlaceMainWindow(const ui::Rect& screenRect) override;
    void MoveMainWindow(const ui::Rect& screenRect) override;
    void CloseMainWindow() override;
    void SetOutline(std::span<const ui::OutlineVertex> polygon) override;
    void RepaintScreen() override;
    void LoadPopupMenu() override;
    void SetMenuItemEnabled(int32_t commandId, bool enabled) override;
    void AddTrayIcon(uint32_t iconId, const std::string& tip) override;
    void RemoveTrayIcon(uint32_t iconId) override;
    // True while a tray shows our icon, so the window can be reached there.
    bool TrayIconReachable() const override;
    void OpenPopupMenuAtPointer() override;
    ui::PanelHandle CreatePanel(const ui::PanelSpec& desc) override;
    void ShowPanel(ui::PanelHandle panel, bool show) override;
    void SetPanelText(ui::PanelHandle panel, int32_t fieldId, const std::string& text) override;
    void StartTimer(int32_t timerId, int32_t periodMs) override;
    void StopTimer(int32_t timerId) override;

    // Another start asked for the window: without a reachable tray icon it
    // is shown as the menu's "Show" shows it, and raised.
    void OnShowRequest();

    // --- what tests and the display check look at ---
    SkinButtonWidget* ChildButton(int32_t id) const;
    PanelWidget* Panel(int32_t templateId) const;
    QMenu* PopupMenu() const { return menu_; }
    QAction* MenuItem(int32_t commandId) const;
    QSystemTrayIcon* TrayIcon() const { return tray_; }
    bool IsClosed() const { return closed_; }

protected:
    ui::SkinnedWindowEvents* Events() const override { return events_; }
    void OnAreasPainted(const QRegion& areas) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Closed from outside (the window manager, Alt+F4): the program ends in
    // order, as with Exit.
    void closeEvent(QCloseEvent* event) override;

private:
    void SendCommandLater(uint32_t commandValue);

    ui::MainWindowEvents* events_ = nullptr;
    ui::PanelModels* panelModels_ = nullptr;
    int panelTimerDivisor_ = 1;
    std::vector<PanelWidget*> panels_;  // handle - 1
    QIcon trayIconPicture_;
    QMenu* menu_ = nullptr;
    std::map<int32_t, QAction*> menuItems_;
    QSystemTrayIcon* tray_ = nullptr;
    bool closed_ = false;
    std::function<void()> onFirstPaint_;
    std::map<int32_t, QTimer*> timers_;
};

}  // namespace vc::qt
