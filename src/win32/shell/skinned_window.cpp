#include "win32/shell/skinned_window.h"

#include "win32/shell/gdi_pixels.h"

namespace vc::win32 {

namespace {

// Client coordinates as the model takes them: signed 16-bit, negative above
// or left of the window while the mouse is captured.
int16_t LowWordSigned(LPARAM value) { return static_cast<int16_t>(LOWORD(static_cast<DWORD>(value))); }
int16_t HighWordSigned(LPARAM value) { return static_cast<int16_t>(HIWORD(static_cast<DWORD>(value))); }

}  // namespace

void SkinnedWindow::Present(const ui::Rect& area) {
    if (window_ == nullptr || !IsWindowVisible(window_)) return;
    HDC dc = GetDC(window_);
    PutSurface(dc, screen_, area);
    ReleaseDC(window_, dc);
    // The animations spin without reading messages: flush each frame now.
    GdiFlush();
}

void SkinnedWindow::Invalidate(const ui::Rect& area, bool erase) {
    if (window_ == nullptr) return;
    // The child buttons inside the area are painted again too, although the
    // window leaves them out of its own drawing.
    const RECT r = ToRECT(area);
    RedrawWindow(window_, &r, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | (erase ? RDW_ERASE : 0u));
}

ui::ChildHandle SkinnedWindow::CreateChildButton(const ui::ChildButtonSpec& desc) {
    if (window_ == nullptr) return ui::kNoChild;
    HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, desc.bounds.left,
                                  desc.bounds.top, desc.bounds.Width(), desc.bounds.Height(), window_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(desc.id)), instance_, nullptr);
    if (button == nullptr) return ui::kNoChild;
    SetWindowPos(button, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The system owns the region from here on.
    if (HRGN shape = RegionOfSpans(desc.region)) SetWindowRgn(button, shape, TRUE);
    children_.push_back(button);
    childDescs_.push_back(desc);
    return static_cast<ui::ChildHandle>(children_.size());
}

HWND SkinnedWindow::Child(ui::ChildHandle child) const {
    if (child == ui::kNoChild || child > children_.size()) return nullptr;
    return children_[child - 1];
}

bool SkinnedWindow::DrawChildIntoScreen(size_t index) {
    ui::SkinnedWindowEvents* events = Events();
    if (events == nullptr) return false;
    const ui::ChildButtonSpec& desc = childDescs_[index];
    ui::Surface face(desc.bounds.Width(), desc.bounds.Height());
    ui::DrawItemRequest request;
    request.controlId = desc.id;
    request.surface = &face;
    request.itemRect = face.Bounds();
    if (!events->OnDrawItem(request)) return false;
    for (int32_t y = 0; y < face.Height(); ++y) {
        for (int32_t x = 0; x < face.Width(); ++x) {
            if (!desc.region.IsEmpty() && !desc.region.Contains(x, y)) continue;
            if (screen_.Contains(desc.bounds.left + x, desc.bounds.top + y))
                screen_.Set(desc.bounds.left + x, desc.bounds.top + y, face.At(x, y));
        }
    }
    return true;
}

void SkinnedWindow::ShowChildButton(ui::ChildHandle child, bool show) {
    HWND button = Child(child);
    if (button == nullptr) return;
    const bool shown = (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE) != 0;
    if (show && !shown && DrawChildIntoScreen(child - 1) && IsWindowVisible(window_)) {
        // The button's erase draws nothing (WM_CTLCOLORBTN), so what shows
        // until it paints itself is this face on the window.
        HDC dc = GetDC(window_);
        PutSurface(dc, screen_, childDescs_[child - 1].bounds);
        ReleaseDC(window_, dc);
    }
    ShowWindow(button, show ? SW_SHOWNA : SW_HIDE);
}

void SkinnedWindow::ShowPainted() {
    // Under Wine a paint may reach the display before the next one is done:
    // the buttons stay hidden while the window's own pixels, their faces
    // included, are drawn in one go.
    std::vector<size_t> buttons;
    for (size_t i = 0; i < children_.size(); ++i) {
        if (!(GetWindowLongA(children_[i], GWL_STYLE) & WS_VISIBLE)) continue;
        ShowWindow(children_[i], SW_HIDE);
        buttons.push_back(i);
    }
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    PrepareScreen();
    if (ui::SkinnedWindowEvents* events = Events()) events->OnPaint();
    for (size_t i : buttons) DrawChildIntoScreen(i);
    HDC dc = GetDC(window_);
    PutSurface(dc, screen_, screen_.Bounds());
    ReleaseDC(window_, dc);
    // Their erase draws nothing: the face already there shows until they
    // paint the same one.
    for (size_t i : buttons) ShowWindow(children_[i], SW_SHOWNA);
    GdiFlush();
}

ui::ScreenSize SkinnedWindow::PrimaryScreenSize() const {
    return ui::ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void SkinnedWindow::CaptureMouse() {
    if (window_ == nullptr) return;
    SetCapture(window_);
    captured_ = true;
}

void SkinnedWindow::ReleaseMouse() {
    if (captured_ && GetCapture() == window_) ReleaseCapture();
    captured_ = false;
}

void SkinnedWindow::FitScreenToClient() {
    RECT client{};
    GetClientRect(window_, &client);
    const int32_t width = client.right - client.left;
    const int32_t height = client.bottom - client.top;
    if (width != screen_.Width() || height != screen_.Height()) screen_ = ui::Surface(width, height);
}

void SkinnedWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    PrepareScreen();
    if (ui::SkinnedWindowEvents* events = Events()) events->OnPaint();
    PutSurface(dc, screen_, ToRect(ps.rcPaint));
    EndPaint(window_, &ps);
}

void SkinnedWindow::DrawItem(const DRAWITEMSTRUCT& item) {
    ui::SkinnedWindowEvents* events = Events();
    if (events == nullptr) return;
    const ui::Rect bounds = ToRect(item.rcItem);
    ui::Surface face(bounds.Width(), bounds.Height());
    ui::DrawItemRequest request;
    request.controlId = static_cast<int32_t>(item.CtlID);
    request.itemState = (item.itemState & ODS_SELECTED) ? ui::kItemStateSelected : 0;
    request.surface = &face;
    request.itemRect = face.Bounds();
    // Only outline-shaped buttons carry text, and the program has none.
    request.text = nullptr;
    if (!events->OnDrawItem(request)) return;
    HDC dc = item.hDC;
    POINT origin{};
    SetViewportOrgEx(dc, bounds.left, bounds.top, &origin);
    PutSurface(dc, face, face.Bounds());
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

bool SkinnedWindow::HandleSkinMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    ui::SkinnedWindowEvents* events = Events();
    switch (message) {
        case WM_PAINT:
            Paint();
            result = 0;
            return true;
        case WM_ERASEBKGND:
            // Every paint draws the whole face; erasing first would only flicker.
            result = 1;
            return true;
        case WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            result = TRUE;
            return true;
        case WM_CTLCOLORBTN:
            // An owner-drawn button erases itself with this brush before it
            // asks for its face: the hollow one leaves the face that is
            // already there instead of a grey box. Other buttons keep theirs.
            if ((GetWindowLongA(reinterpret_cast<HWND>(lParam), GWL_STYLE) & BS_TYPEMASK) != BS_OWNERDRAW)
                return false;
            result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            return true;
        case WM_COMMAND:
            if (events) events->OnCommand(static_cast<uint32_t>(wParam));
            result = 0;
            return true;
        case WM_LBUTTONDOWN:
            if (events) events->OnLeftButtonDown(LowWordSigned(lParam), HighWordSigned(lParam));
            result = 0;
            return true;
        case WM_MOUSEMOVE:
            if (events)
                events->OnMouseMove((wParam & MK_LBUTTON) ? ui::kMouseLeftButtonFlag : 0, LowWordSigned(lParam),
                                    HighWordSigned(lParam));
            result = 0;
            return true;
        case WM_LBUTTONUP:
            if (events) events->OnLeftButtonUp();
            result = 0;
            return true;
        case WM_CAPTURECHANGED:
            captured_ = false;
            return false;
        default: return false;
    }
}

}  // namespace vc::win32
