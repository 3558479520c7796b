// The main window's seam to the window system, both ways.
//
// MainWindowShell is what the main-window model asks of the window system:
// one top-level borderless window of 526 x 216 pixels with a screen surface,
// its owner-drawn child buttons and mouse capture (SkinnedWindowShell), its
// outline, the tray icon with its popup menu, and the panels it owns. Every
// call is a plain request: nothing here reports failure, and a request for a
// null handle does nothing.
//
// MainWindowEvents is what the window system hands the model: the events of
// every skinned window (SkinnedWindowEvents: paint, child-button drawing,
// commands, mouse), creation and tray notifications.
//
// Messages go through vc::Shell (Context::shell), not through this seam.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/ui/geometry.h"
#include "core/ui/outlines.h"
#include "core/ui/skinned_window_events.h"
#include "core/ui/skinned_window_shell.h"
#include "core/ui/window_host.h"

namespace vc::ui {

// A panel (modeless dialog owned by the main window); 0 = none, which every
// panel request ignores.
using PanelHandle = uint32_t;
inline constexpr PanelHandle kNoPanel = 0;

// Dialog templates of the panels, in creation order.
inline constexpr int32_t kPanelAdvanceHelp = 148;
inline constexpr int32_t kPanelEasyHelp = 145;
inline constexpr int32_t kPanelOptions = 146;
inline constexpr int32_t kPanelCpuInfo = 147;
inline constexpr int32_t kPanelProgress = 188;

// Text fields of the processor information panel.
inline constexpr int32_t kFieldInternalClock = 1039;  // beside "Internal :"
inline constexpr int32_t kFieldExternalClock = 1040;  // beside "External :"

// The tray popup menu ("RightMenu") items, top to bottom; between 40010
// and 40017 lies a separator.
inline constexpr int32_t kMenuEasyMode = 40011;
inline constexpr int32_t kMenuAdvanceMode = 40010;
inline constexpr int32_t kMenuShow = 40017;
inline constexpr int32_t kMenuHide = 40015;
inline constexpr int32_t kMenuExit = 40016;

// The tray icon: icon 101 (also its notification id) with the tip below.
inline constexpr uint32_t kTrayIconId = 101;
inline constexpr const char* kTrayTip = "VelocoreIII";

// Printed at start-up when no tray shows the icon.
inline constexpr const char* kNoTrayHint =
    "no system tray: start the program again to show a hidden window; "
    "a right click on the window opens its menu";
// Said once in a box, when the window is first hidden while no tray shows
// the icon: a user who started the program from a menu sees no terminal.
inline constexpr const char* kNoTrayNotice =
    "There is no system tray to keep the program's icon.\n"
    "Start the program again to show the hidden window; a right click on the "
    "window opens its menu.";

// Mouse messages a tray notification carries (the window system's codes).
inline constexpr uint32_t kTrayMouseMove = 0x0200;
inline constexpr uint32_t kTrayLeftButtonDown = 0x0201;
inline constexpr uint32_t kTrayLeftButtonUp = 0x0202;
inline constexpr uint32_t kTrayLeftDoubleClick = 0x0203;
inline constexpr uint32_t kTrayRightButtonDown = 0x0204;
inline constexpr uint32_t kTrayRightButtonUp = 0x0205;

// The main window's timer: the start-up application counts as settled once
// the program has run this long after its write (pending.dat goes).
inline constexpr int32_t kTimerStartupSettled = 1;
inline constexpr int32_t kStartupSettledMs = 60'000;

// How a panel is created: hidden, owned by the main window.
struct PanelSpec {
    int32_t templateId = 0;
    // The panel's client size (0, 0, w, h); an empty rectangle means the
    // template's own size (the progress popup).
    Rect size{0, 0, 0, 0};
};

class MainWindowShell : public virtual SkinnedWindowShell {
public:
    // --- child buttons (created through WindowHost::CreateChildButton) ---
    virtual void ShowChild(ChildHandle child, bool show) = 0;

    // --- the main window itself ---
    virtual void ShowMainWindow(bool show) = 0;
    virtual bool IsMainWindowVisible() const = 0;
    // The window's rectangle in screen coordinates.
    virtual Rect MainWindowScreenRect() const = 0;
    // Creation: move and size to `screenRect`, raise to the top and show.
    virtual void PlaceMainWindow(const Rect& screenRect) = 0;
    // Dragging: move and size to `screenRect` and repaint; visibility and
    // stacking stay as they are.
    virtual void MoveMainWindow(const Rect& screenRect) = 0;
    // Closes the main window; the message loop then ends with exit code 0.
    virtual void CloseMainWindow() = 0;

    // --- outline ---
    // The window's visible part from now on: the polygon in client
    // coordinates, odd-even fill, clipped to the window. No redraw.
    virtual void SetOutline(std::span<const OutlineVertex> polygon) = 0;
    // Repaints whatever lies on the screen (including under the window's old
    // outline), background first.
    virtual void RepaintScreen() = 0;

    // --- tray icon and its popup menu ---
    // Makes the popup menu: "Easy Mode" (grayed), "Advance Mode", a
    // separator, "Show" (grayed), "Hide", "Exit", with the ids above.
    virtual void LoadPopupMenu() = 0;
    virtual void SetMenuItemEnabled(int32_t commandId, bool enabled) = 0;  // disabled = grayed
    virtual void AddTrayIcon(uint32_t iconId, const std::string& tip) = 0;
    virtual void RemoveTrayIcon(uint32_t iconId) = 0;
    // Whether a tray shows the icon now, so a hidden window can be reached
    // there. A window system whose tray is always there keeps this answer.
    virtual bool TrayIconReachable() const { return true; }
    // Opens the popup menu at the pointer and returns when it closes; the
    // chosen item arrives afterwards as a command (MainWindowEvents::OnCommand).
    virtual void OpenPopupMenuAtPointer() = 0;

    // --- panels ---
    virtual PanelHandle CreatePanel(const PanelSpec& desc) = 0;  // kNoPanel on failure
    virtual void ShowPanel(PanelHandle panel, bool show) = 0;
    virtual void SetPanelText(PanelHandle panel, int32_t fieldId, const std::string& text) = 0;

    // --- window timers ---
    // Starts timer `timerId` (>= 1) of the main window, or restarts it:
    // OnTimer(timerId) arrives every `periodMs` from now on, through the
    // event queue, until StopTimer. Stopping a timer that does not run does
    // nothing.
    virtual void StartTimer(int32_t timerId, int32_t periodMs) = 0;
    virtual void StopTimer(int32_t timerId) = 0;
};

// OnPaint draws the current layout's whole face. OnCommand heeds
// notification code 0 only (button clicks and menu choices) and ignores
// anything else.
class MainWindowEvents : public SkinnedWindowEvents {
public:
    // The window exists (with its screen surface) but is not yet placed or
    // shown. Returns 1; 0 means the window cannot be used and start-up ends
    // with exit code 0.
    virtual int32_t OnCreate() = 0;

    // The tray icon `iconId` saw `mouseMessage` (kTray... codes).
    virtual void OnTrayNotify(uint32_t iconId, uint32_t mouseMessage) = 0;

    // A tick of a timer the model started on the main window.
    virtual void OnTimer(int32_t timerId) = 0;

    // The program is ending in order (the window closed, the session ending,
    // termination asked for) rather than by the Exit command: whatever the
    // start-up left to settle is settled now. Only a crash or a hang skips it.
    virtual void OnEnding() = 0;
};

}  // namespace vc::ui
