// The window seam of the user interface: what a skinned window offers the
// core. The core draws into the window's screen surface; the window system
// shows it. The Qt shell implements one per window, tests record every call.
#pragma once

#include <cstdint>
#include <string>

#include "core/ui/geometry.h"
#include "core/ui/region.h"
#include "core/ui/surface.h"

namespace vc::ui {

using ChildHandle = uint32_t;  // 0 = no window
inline constexpr ChildHandle kNoChild = 0;

// An owner-drawn child button: it sends `id` to its parent when clicked and
// asks the parent to draw it (DrawItemRequest) whenever it needs painting.
struct ChildButtonSpec {
    int32_t id = 0;
    Rect bounds{0, 0, 0, 0};  // in the parent's client coordinates
    Region region;            // the visible part in button coordinates; empty: the whole rectangle
};

// Draws text in a device's current font and colours. A surface alone has no
// fonts, so the window system lends this with each drawing request.
class TextPainter {
public:
    virtual ~TextPainter() = default;
    virtual void DrawText(Surface& target, int32_t x, int32_t y, const std::string& text) = 0;
};

// Key flags a mouse move carries to a window's model: the left button is down.
inline constexpr uint32_t kMouseLeftButtonFlag = 0x0001;

inline constexpr uint32_t kItemStateSelected = 1;  // the button is held down

// What a parent receives when one of its child buttons needs painting.
struct DrawItemRequest {
    int32_t controlId = 0;
    uint32_t itemState = 0;  // kItemStateSelected and bits the buttons ignore
    Surface* surface = nullptr;  // the button's own pixels, drawn at itemRect
    Rect itemRect{0, 0, 0, 0};   // starts at (0, 0) for a child button
    TextPainter* text = nullptr; // null: no text can be drawn
};

class WindowHost {
public:
    virtual ~WindowHost() = default;

    // The pixels of the client area, as large as the window. Drawing here
    // changes nothing on screen until Present or the next paint.
    virtual Surface& Screen() = 0;

    // Puts `area` of Screen() on the display at once, outside the paint
    // cycle: the animations present every frame as they draw it.
    virtual void Present(const Rect& area) = 0;

    // Asks for `area` to be painted again through the paint cycle; with
    // `erase` the background is drawn first.
    virtual void Invalidate(const Rect& area, bool erase) = 0;

    // Creates a visible owner-drawn child button at the top of its siblings.
    // Returns kNoChild when it cannot be created.
    virtual ChildHandle CreateChildButton(const ChildButtonSpec& desc) = 0;
};

}  // namespace vc::ui
