#include "win32/shell/panel_dialog.h"

#include <cstdio>
#include <string>

#include "core/ui/panels/panel_templates.h"
#include "win32/shell/callback_guard.h"
#include "win32/shell/gdi_pixels.h"

namespace vc::win32 {

namespace {

// Dialog templates give controls without an id the id -1, stored as a word.
int32_t TemplateIdOf(HWND control) {
    const int id = GetDlgCtrlID(control);
    return id == 0xFFFF || id == -1 ? 0 : id;
}

}  // namespace

PanelDialog::PanelDialog(HINSTANCE instance, const ui::PanelSpec& desc) : SkinnedWindow(instance), spec_(desc) {}

PanelDialog::~PanelDialog() {
    model_.reset();
    if (Handle() != nullptr && IsWindow(Handle())) DestroyWindow(Handle());
}

bool PanelDialog::Create(HWND owner, ui::PanelModels* models) {
    models_ = models;
    HWND dialog = CreateDialogParamA(Instance(), MAKEINTRESOURCEA(spec_.templateId), owner, &PanelDialog::DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return dialog != nullptr;
}

INT_PTR CALLBACK PanelDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded<INT_PTR>("a panel's dialog procedure", FALSE, [&]() -> INT_PTR {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
            auto* self = reinterpret_cast<PanelDialog*>(lParam);
            self->Attach(dialog);
            self->OnInitDialog();
            return TRUE;
        }
        auto* self = reinterpret_cast<PanelDialog*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
        return self ? self->OnMessage(message, wParam, lParam) : FALSE;
    });
}

void PanelDialog::OnInitDialog() {
    // The window has no caption; the title is what task lists and window
    // switchers call it.
    if (const ui::PanelLook* look = ui::FindPanelLook(spec_.templateId)) SetWindowTextA(Handle(), look->title);
    for (HWND child = GetWindow(Handle(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        templateControls_.push_back(child);
    if (!spec_.size.IsEmpty())
        SetWindowPos(Handle(), nullptr, 0, 0, spec_.size.Width(), spec_.size.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitScreenToClient();
    if (models_) model_ = models_->Make(spec_.templateId, *this);
    if (model_) model_->OnInit();
}

INT_PTR PanelDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A read-only field is a status line: a click may focus it, but nothing
    // can be typed there, so it shows no caret.
    if (message == WM_COMMAND && HIWORD(wParam) == EN_SETFOCUS) {
        const HWND field = reinterpret_cast<HWND>(lParam);
        if (GetWindowLongA(field, GWL_STYLE) & ES_READONLY) HideCaret(field);
    }
    if (message == WM_TIMER) {
        if (model_) model_->OnTimer(static_cast<int32_t>(wParam));
        return TRUE;
    }
    LRESULT result = 0;
    if (!HandleSkinMessage(message, wParam, lParam, result)) return FALSE;
    // A colour request is answered with the brush itself.
    if (message == WM_CTLCOLORBTN) return static_cast<INT_PTR>(result);
    // A dialog procedure hands message results over through the window's
    // result slot; TRUE says the message was handled.
    SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, result);
    return TRUE;
}

void PanelDialog::PrepareScreen() {
    // Where the model paints nothing the dialog background shows.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    Screen().Fill(Screen().Bounds(), ui::Rgb(GetRValue(face), GetGValue(face), GetBValue(face)));
}

void PanelDialog::CreateControl(const ui::ControlSpec& desc) {
    // The resource script is written from the core's table (win_resources,
    // kept in step by a test), so the next template control is this one.
    if (nextTemplateControl_ >= templateControls_.size() ||
        TemplateIdOf(templateControls_[nextTemplateControl_]) != desc.id) {
        std::fprintf(stderr, "velocore: dialog %d does not hold control %d\n", static_cast<int>(spec_.templateId),
                     static_cast<int>(desc.id));
        return;
    }
    HWND control = templateControls_[nextTemplateControl_++];
    MoveWindow(control, desc.bounds.left, desc.bounds.top, desc.bounds.Width(), desc.bounds.Height(), TRUE);
    SetWindowTextA(control, desc.text.c_str());
    if (desc.id != 0) controls_[desc.id] = control;
}

HWND PanelDialog::Control(int32_t controlId) const {
    const auto found = controls_.find(controlId);
    return found == controls_.end() ? nullptr : found->second;
}

void PanelDialog::SetControlText(int32_t controlId, const std::string& text) {
    if (HWND control = Control(controlId)) SetWindowTextA(control, text.c_str());
}

void PanelDialog::SetControlChecked(int32_t controlId, bool checked) {
    if (HWND control = Control(controlId))
        SendMessageA(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void PanelDialog::SetControlEnabled(int32_t controlId, bool enabled) {
    if (HWND control = Control(controlId)) EnableWindow(control, enabled ? TRUE : FALSE);
}

ui::Rect PanelDialog::ScreenRect() const {
    RECT r{};
    GetWindowRect(Handle(), &r);
    return ToRect(r);
}

void PanelDialog::PlaceHidden(const ui::Rect& screenRect) {
    SetWindowPos(Handle(), nullptr, screenRect.left, screenRect.top, screenRect.Width(), screenRect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    FitScreenToClient();
    Invalidate(Screen().Bounds(), true);
}

void PanelDialog::MoveTo(const ui::Rect& screenRect) {
    MoveWindow(Handle(), screenRect.left, screenRect.top, screenRect.Width(), screenRect.Height(), TRUE);
    FitScreenToClient();
}

void PanelDialog::PlaceOnTop(const ui::Rect& screenRect) {
    SetWindowPos(Handle(), HWND_TOP, screenRect.left, screenRect.top, screenRect.Width(), screenRect.Height(),
                 SWP_NOACTIVATE);
    FitScreenToClient();
}

void PanelDialog::Show(bool show) {
    if (show == IsVisible()) return;
    if (!show) {
        ReleaseMouse();
        ShowWindow(Handle(), SW_HIDE);
        return;
    }
    if (model_) model_->OnShown();
    Invalidate(Screen().Bounds(), true);
    ShowWindow(Handle(), SW_SHOW);
}

bool PanelDialog::IsVisible() const { return IsWindowVisible(Handle()) != FALSE; }

void PanelDialog::StartTimer(int32_t timerId, int32_t periodMs) {
    if (timerId < 1) return;
    SetTimer(Handle(), static_cast<UINT_PTR>(timerId), static_cast<UINT>(periodMs < 1 ? 1 : periodMs), nullptr);
}

void PanelDialog::StopTimer(int32_t timerId) { KillTimer(Handle(), static_cast<UINT_PTR>(timerId)); }

}  // namespace vc::win32
