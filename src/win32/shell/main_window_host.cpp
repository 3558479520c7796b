#include "win32/shell/main_window_host.h"

#include <utility>

#include "core/ui/main/main_window_places.h"
#include "core/ui/main/popup_menu.h"
#include "win32/shell/callback_guard.h"
#include "win32/shell/gdi_pixels.h"
#include "win32/shell/resource_ids.h"
#include "win32/shell/tray_icon.h"

namespace vc::win32 {

namespace {

// Posted after the first paint: the frame is on the display by the time the
// message loop gets to it.
constexpr UINT kFirstFrameMessage = WM_APP + 1;

// The class icon and the tray icon are the program's icon resource.
static_assert(VC_ICON_PROGRAM == ui::kTrayIconId);

}  // namespace

MainWindowHost::MainWindowHost(HINSTANCE instance) : SkinnedWindow(instance) {
    SetScreenSize(ui::kMainWidth, ui::kMainHeight);
}

MainWindowHost::~MainWindowHost() {
    events_ = nullptr;
    panels_.clear();
    if (Handle() != nullptr && !destroyed_) DestroyWindow(Handle());
    if (menu_ != nullptr) DestroyMenu(menu_);
}

bool MainWindowHost::Create() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &MainWindowHost::WindowProc;
    windowClass.hInstance = Instance();
    windowClass.hIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(ui::kTrayIconId));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kMainWindowClass;
    if (RegisterClassA(&windowClass) == 0) return false;
    // Children are left out of the window's own drawing: the animations put
    // frames straight on the window while the buttons stay on top.
    creating_ = true;
    HWND window = CreateWindowExA(0, kMainWindowClass, kMainWindowTitle, WS_POPUP | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, Instance(), this);
    creating_ = false;
    return window != nullptr;
}

void MainWindowHost::ShowFirstFrame() {
    if (!showWhenCreated_ || destroyed_) return;
    showWhenCreated_ = false;
    ShowPainted();
}

LRESULT CALLBACK MainWindowHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded<LRESULT>("the main window's procedure", 0, [&]() -> LRESULT {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<MainWindowHost*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->Attach(window);
        }
        auto* self = reinterpret_cast<MainWindowHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        return self ? self->OnMessage(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
    });
}

LRESULT MainWindowHost::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            // -1 makes the creation fail: the program then ends with 0.
            return events_ && events_->OnCreate() ? 0 : -1;
        case WM_CLOSE:
            // Closed from outside (Alt+F4, a task list): an orderly end like
            // Exit. The default processing then destroys the window.
            if (events_) events_->OnEnding();
            break;
        case WM_ENDSESSION:
            // The session ends (logout, shutdown): the process may be gone
            // as soon as this returns.
            if (wParam != FALSE && events_) events_->OnEnding();
            return 0;
        case WM_DESTROY:
            destroyed_ = true;
            // Closed other than by Exit: no dead icon stays in the tray.
            if (trayIconShown_) RemoveTrayIcon(ui::kTrayIconId);
            PostQuitMessage(0);
            return 0;
        case WM_TIMER:
            if (events_) events_->OnTimer(static_cast<int32_t>(wParam));
            return 0;
        case kTrayCallbackMessage:
            if (events_) events_->OnTrayNotify(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
            return 0;
        case kFirstFrameMessage:
            if (onFirstPaint_) std::exchange(onFirstPaint_, {})();
            return 0;
        default: break;
    }
    LRESULT result = 0;
    if (HandleSkinMessage(message, wParam, lParam, result)) {
        if (message == WM_PAINT && onFirstPaint_ && IsWindowVisible(Handle()))
            PostMessageA(Handle(), kFirstFrameMessage, 0, 0);
        return result;
    }
    return DefWindowProcA(Handle(), message, wParam, lParam);
}

bool MainWindowHost::TakeDialogMessage(MSG& message) {
    for (const auto& panel : panels_) {
        HWND dialog = panel->Handle();
        if (dialog != nullptr && IsWindowVisible(dialog) && IsDialogMessageA(dialog, &message)) return true;
    }
    return false;
}

void MainWindowHost::DropPanelModels() {
    for (const auto& panel : panels_) panel->DropModel();
}

void MainWindowHost::ShowChild(ui::ChildHandle child, bool show) { ShowChildButton(child, show); }

void MainWindowHost::ShowMainWindow(bool show) { ShowWindow(Handle(), show ? SW_SHOW : SW_HIDE); }

bool MainWindowHost::IsMainWindowVisible() const { return IsWindowVisible(Handle()) != FALSE; }

ui::Rect MainWindowHost::MainWindowScreenRect() const {
    RECT r{};
    GetWindowRect(Handle(), &r);
    return ToRect(r);
}

void MainWindowHost::PlaceMainWindow(const ui::Rect& screenRect) {
    // While the window is being created it is only placed: it is shown
    // once its first frame is ready (ShowFirstFrame).
    showWhenCreated_ = creating_;
    SetWindowPos(Handle(), HWND_TOP, screenRect.left, screenRect.top, screenRect.Width(), screenRect.Height(),
                 creating_ ? SWP_NOACTIVATE : SWP_SHOWWINDOW);
}

void MainWindowHost::MoveMainWindow(const ui::Rect& screenRect) {
    MoveWindow(Handle(), screenRect.left, screenRect.top, screenRect.Width(), screenRect.Height(), TRUE);
}

void MainWindowHost::CloseMainWindow() { DestroyWindow(Handle()); }

void MainWindowHost::SetOutline(std::span<const ui::OutlineVertex> polygon) {
    // The system owns the region from here on; no redraw yet.
    SetWindowRgn(Handle(), RegionOfOutline(polygon, ui::kMainWidth, ui::kMainHeight), FALSE);
}

void MainWindowHost::RepaintScreen() {
    // Every window on the screen, so nothing is left of a larger outline.
    InvalidateRect(nullptr, nullptr, TRUE);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindowHost::LoadPopupMenu() {
    if (menu_ != nullptr) return;
    menu_ = CreatePopupMenu();
    for (const ui::PopupMenuItem& item : ui::kPopupMenuItems) {
        if (item.id == 0) {
            AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        AppendMenuA(menu_, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), static_cast<UINT_PTR>(item.id),
                    item.text);
    }
}

void MainWindowHost::SetMenuItemEnabled(int32_t commandId, bool enabled) {
    if (menu_ != nullptr)
        EnableMenuItem(menu_, static_cast<UINT>(commandId), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MainWindowHost::AddTrayIcon(uint32_t iconId, const std::string& tip) {
    trayIconShown_ = win32::AddTrayIcon(Handle(), Instance(), iconId, kTrayCallbackMessage, tip);
}

void MainWindowHost::RemoveTrayIcon(uint32_t iconId) {
    win32::RemoveTrayIcon(Handle(), iconId);
    trayIconShown_ = false;
}

// The shell refuses the icon when no taskbar runs to show it.
bool MainWindowHost::TrayIconReachable() const { return trayIconShown_; }

void MainWindowHost::OpenPopupMenuAtPointer() {
    if (menu_ == nullptr) return;
    POINT at{};
    GetCursorPos(&at);
    // Without the window in the foreground the menu would not close when
    // the user clicks elsewhere; the null message afterwards lets the
    // foreground change settle.
    SetForegroundWindow(Handle());
    TrackPopupMenu(menu_, 0, at.x, at.y, 0, Handle(), nullptr);
    PostMessageA(Handle(), WM_NULL, 0, 0);
}

ui::PanelHandle MainWindowHost::CreatePanel(const ui::PanelSpec& desc) {
    auto panel = std::make_unique<PanelDialog>(Instance(), desc);
    PanelDialog& made = *panel;
    panels_.push_back(std::move(panel));
    if (!made.Create(Handle(), panelModels_)) {
        panels_.pop_back();
        return ui::kNoPanel;
    }
    return static_cast<ui::PanelHandle>(panels_.size());
}

PanelDialog* MainWindowHost::Panel(ui::PanelHandle panel) const {
    if (panel == ui::kNoPanel || panel > panels_.size()) return nullptr;
    return panels_[panel - 1].get();
}

void MainWindowHost::ShowPanel(ui::PanelHandle panel, bool show) {
    if (PanelDialog* dialog = Panel(panel)) dialog->Show(show);
}

void MainWindowHost::SetPanelText(ui::PanelHandle panel, int32_t fieldId, const std::string& text) {
    if (PanelDialog* dialog = Panel(panel)) dialog->SetControlText(fieldId, text);
}

void MainWindowHost::StartTimer(int32_t timerId, int32_t periodMs) {
    if (timerId < 1) return;
    SetTimer(Handle(), static_cast<UINT_PTR>(timerId), static_cast<UINT>(periodMs < 1 ? 1 : periodMs), nullptr);
}

void MainWindowHost::StopTimer(int32_t timerId) { KillTimer(Handle(), static_cast<UINT_PTR>(timerId)); }

}  // namespace vc::win32
