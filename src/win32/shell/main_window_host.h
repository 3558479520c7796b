// The main window on Windows: a popup of class "CPUClock" titled "Clock
// Frequency", 526 x 216, shaped by the layout's outline (a window region),
// with the tray icon and its popup menu, the window timers and the panels
// it owns.
#pragma once

#include "win32/shell/windows_api.h"

#include <functional>
#include <memory>
#include <vector>

#include "core/ui/main/main_window_shell.h"
#include "core/ui/panels/panel_shell.h"
#include "win32/shell/panel_dialog.h"
#include "win32/shell/skinned_window.h"

namespace vc::win32 {

inline constexpr const char* kMainWindowClass = "CPUClock";
inline constexpr const char* kMainWindowTitle = "Clock Frequency";
// Tray notifications arrive as this message: WM_USER + the icon id (1125).
inline constexpr UINT kTrayCallbackMessage = WM_USER + ui::kTrayIconId;

class MainWindowHost : public SkinnedWindow, public ui::MainWindowShell {
public:
    explicit MainWindowHost(HINSTANCE instance);
    ~MainWindowHost() override;

    // Where events go, and who makes the panels' models; set both before Create.
    void SetEvents(ui::MainWindowEvents* events) { events_ = events; }
    void SetPanelModels(ui::PanelModels* models) { panelModels_ = models; }
    // Called once, after the first paint of the visible window.
    void SetOnFirstPaint(std::function<void()> firstPaint) { onFirstPaint_ = std::move(firstPaint); }

    // Registers the class and creates the window, still hidden; its
    // creation runs the model's OnCreate. False when either fails (or the
    // model refuses).
    bool Create();
    // Shows the window the model placed, with its face and buttons painted
    // before it appears: no frame shows an empty window.
    void ShowFirstFrame();
    // Hands `message` to the dialog manager of a panel it belongs to, so
    // Enter, Esc and Tab work there. True when it was taken.
    bool TakeDialogMessage(MSG& message);
    // Drops every panel's model (before the models' world goes away).
    void DropPanelModels();

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
    bool TrayIconReachable() const override;
    void OpenPopupMenuAtPointer() override;
    ui::PanelHandle CreatePanel(const ui::PanelSpec& desc) override;
    void ShowPanel(ui::PanelHandle panel, bool show) override;
    void SetPanelText(ui::PanelHandle panel, int32_t fieldId, const std::string& text) override;
    void StartTimer(int32_t timerId, int32_t periodMs) override;
    void StopTimer(int32_t timerId) override;

protected:
    ui::SkinnedWindowEvents* Events() const override { return events_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    PanelDialog* Panel(ui::PanelHandle panel) const;

    ui::MainWindowEvents* events_ = nullptr;
    ui::PanelModels* panelModels_ = nullptr;
    std::vector<std::unique_ptr<PanelDialog>> panels_;  // handle - 1
    HMENU menu_ = nullptr;
    bool destroyed_ = false;
    bool trayIconShown_ = false;
    bool creating_ = false;
    bool showWhenCreated_ = false;
    std::function<void()> onFirstPaint_;
};

}  // namespace vc::win32
