// What every skinned window on Windows has in common, the main window and
// the panels alike: the model's screen surface shown in WM_PAINT (the model
// paints its face on every paint), frames presented at once outside the
// paint cycle, owner-drawn child buttons drawn by the model, commands, the
// mouse on the background and mouse capture.
#pragma once

#include "win32/shell/windows_api.h"

#include <vector>

#include "core/ui/skinned_window_events.h"
#include "core/ui/skinned_window_shell.h"
#include "core/ui/surface.h"

namespace vc::win32 {

class SkinnedWindow : public virtual ui::SkinnedWindowShell {
public:
    explicit SkinnedWindow(HINSTANCE instance) : instance_(instance) {}
    SkinnedWindow(const SkinnedWindow&) = delete;
    SkinnedWindow& operator=(const SkinnedWindow&) = delete;

    HWND Handle() const { return window_; }

    // --- SkinnedWindowShell ---
    ui::Surface& Screen() override { return screen_; }
    void Present(const ui::Rect& area) override;
    void Invalidate(const ui::Rect& area, bool erase) override;
    ui::ChildHandle CreateChildButton(const ui::ChildButtonSpec& desc) override;
    ui::ScreenSize PrimaryScreenSize() const override;
    void CaptureMouse() override;
    void ReleaseMouse() override;

protected:
    // Where the window's events go; null while it has no model.
    virtual ui::SkinnedWindowEvents* Events() const = 0;
    // Readies the screen before the model paints it.
    virtual void PrepareScreen() {}

    HINSTANCE Instance() const { return instance_; }
    void Attach(HWND window) { window_ = window; }
    // A new screen as large as the client area, when its size changed.
    void FitScreenToClient();
    void SetScreenSize(int32_t width, int32_t height) { screen_ = ui::Surface(width, height); }
    HWND Child(ui::ChildHandle child) const;
    // Shows or hides a child button. A button about to appear has its face
    // drawn onto the window first, so no frame shows it without one.
    void ShowChildButton(ui::ChildHandle child, bool show);
    // Shows the hidden window with all of it drawn at once: its face with
    // the faces of its buttons, which stay hidden until that is there.
    void ShowPainted();

    // The messages every skinned window handles alike. False for any other
    // message; `result` is then untouched.
    bool HandleSkinMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    void Paint();
    void DrawItem(const DRAWITEMSTRUCT& item);
    // The face of child `index` as the model draws it when up, copied into
    // the screen surface inside the button's shape; false without a model.
    bool DrawChildIntoScreen(size_t index);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    ui::Surface screen_;
    std::vector<HWND> children_;  // a child's handle is its index + 1
    std::vector<ui::ChildButtonSpec> childDescs_;  // in the same order
    bool captured_ = false;
};

}  // namespace vc::win32
