// A picture button: a child window whose face is one of four pictures (up or
// held down, each with the latched on-state clear or set), or whose outline
// is cut to an ellipse or a triangle and framed, with a caption inside.
#pragma once

#include <cstdint>

#include "core/ui/picture_store.h"
#include "core/ui/region.h"
#include "core/ui/surface.h"
#include "core/ui/window_host.h"

namespace vc::ui {

inline constexpr int32_t SHAPE_ELLIPSE = 1;
inline constexpr int32_t SHAPE_TRIANGLE_UP = 2;
inline constexpr int32_t SHAPE_TRIANGLE_DOWN = 3;
inline constexpr int32_t SHAPE_PICTURE = 99;

// Fields in their record order. A default-constructed record is all zero.
struct SkinButton {
    const char* caption = nullptr;  // drawn inside outline shapes; owners set ""
    int32_t picturePressed = 0;     // held down, onState 0; 0 = no picture
    int32_t pictureNormal = 0;      // up, onState 0
    int32_t pictureOnPressed = 0;   // held down, onState set
    int32_t pictureOn = 0;          // up, onState set
    int32_t onState = 0;            // latched by the owner, cleared by Create
    int32_t x = 0, y = 0;           // in the parent's client coordinates
    int32_t width = 0, height = 0;  // also the size of every face picture
    int32_t shape = 0;
    int32_t outlineBrush = 0;       // stock brush framing outline shapes; 0 white
    Region region;                  // handed to the window at creation
    ChildHandle window = kNoChild;
    const Surface* bitmapNormal = nullptr;
    const Surface* bitmapOnPressed = nullptr;
    const Surface* bitmapPressed = nullptr;
    const Surface* bitmapOn = nullptr;
    int32_t id = 0;  // the command the button sends

    // The owner fills caption, the picture numbers, x, y, width, height,
    // shape and outlineBrush first. Returns 1, or 0 when the child window
    // could not be created (then nothing else is set up).
    int32_t Create(WindowHost& parent, PictureStore& pictures, int32_t buttonId);

    // Draws the button for a request meant for it and returns 1; returns 0
    // when the button has no window or the request is another control's.
    int32_t DrawItem(const DrawItemRequest& request) const;

    // Has the parent repaint the button's rectangle, background first, so
    // the button shows its current face. Always 1.
    int32_t Invalidate(WindowHost& parent) const;

    // The picture face for an item state: held down or up, by onState.
    const Surface* FaceFor(uint32_t itemState) const;
};

// The window region of an outline shape of `width` x `height`; empty for
// SHAPE_PICTURE and unknown codes (the whole rectangle).
Region ShapeRegion(int32_t shape, int32_t width, int32_t height);

// The colour of a stock brush by its index; false for indexes that are no
// brush or the hollow brush, which frame nothing.
bool StockBrushColour(int32_t index, Pixel& colour);

}  // namespace vc::ui
