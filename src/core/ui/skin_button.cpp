#include "core/ui/skin_button.h"

#include <array>
#include <string>

namespace vc::ui {

namespace {

struct StockBrush {
    int32_t index;
    Pixel colour;
};

// The solid stock brushes; index 5 is the hollow brush and higher ones are
// pens, fonts and palettes, none of which can frame a region.
constexpr std::array<StockBrush, 5> kStockBrushes{{
    {0, Rgb(255, 255, 255)},
    {1, Rgb(192, 192, 192)},
    {2, Rgb(128, 128, 128)},
    {3, Rgb(64, 64, 64)},
    {4, Rgb(0, 0, 0)},
}};

void PaintRegion(Surface& target, const Region& region, Pixel colour) {
    for (const Span& s : region.Spans()) target.Fill(Rect{s.left, s.y, s.right, s.y + 1}, colour);
}

Region TriangleUp(int32_t width, int32_t height) {
    const Point corners[] = {{width / 2, 0}, {0, height}, {width, height}};
    return Region::Polygon(corners);
}

Region TriangleDown(int32_t width, int32_t height) {
    const Point corners[] = {{0, 0}, {width, 0}, {width / 2, height}};
    return Region::Polygon(corners);
}

}  // namespace

bool StockBrushColour(int32_t index, Pixel& colour) {
    for (const StockBrush& brush : kStockBrushes) {
        if (brush.index == index) {
            colour = brush.colour;
            return true;
        }
    }
    return false;
}

Region ShapeRegion(int32_t shape, int32_t width, int32_t height) {
    switch (shape) {
        case SHAPE_ELLIPSE: return Region::Ellipse(Rect{0, 0, width, height});
        case SHAPE_TRIANGLE_UP: return TriangleUp(width, height);
        case SHAPE_TRIANGLE_DOWN: return TriangleDown(width, height);
        default: return Region();
    }
}

int32_t SkinButton::Create(WindowHost& parent, PictureStore& pictures, int32_t buttonId) {
    id = buttonId;
    onState = 0;
    // Outline shapes get their region; any other code keeps the one it has.
    const bool outlined = shape == SHAPE_ELLIPSE || shape == SHAPE_TRIANGLE_UP || shape == SHAPE_TRIANGLE_DOWN;
    const Region windowRegion = outlined ? ShapeRegion(shape, width, height) : region;
    window = parent.CreateChildButton(ChildButtonSpec{id, RectAt(x, y, width, height), windowRegion});
    if (window == kNoChild) return 0;
    region = windowRegion;
    if (shape == SHAPE_PICTURE) {
        // Loaded in this order; a zero number means no picture.
        const auto load = [&pictures](int32_t number) { return number != 0 ? pictures.Get(number) : nullptr; };
        bitmapNormal = load(pictureNormal);
        bitmapOnPressed = load(pictureOnPressed);
        bitmapPressed = load(picturePressed);
        bitmapOn = load(pictureOn);
    }
    return 1;
}

const Surface* SkinButton::FaceFor(uint32_t itemState) const {
    const bool heldDown = (itemState & kItemStateSelected) != 0;
    if (onState == 0) return heldDown ? bitmapPressed : bitmapNormal;
    return heldDown ? bitmapOnPressed : bitmapOn;
}

int32_t SkinButton::DrawItem(const DrawItemRequest& request) const {
    if (window == kNoChild || request.controlId != id) return 0;
    if (request.surface == nullptr) return 1;  // nothing to draw on
    Surface& target = *request.surface;
    const Rect& item = request.itemRect;
    switch (shape) {
        case SHAPE_ELLIPSE:
        case SHAPE_TRIANGLE_UP:
        case SHAPE_TRIANGLE_DOWN: {
            // A fresh region per draw; the ellipse spans from the item's
            // corner to (width, height), which is the whole item at (0, 0).
            const Region outline = shape == SHAPE_ELLIPSE ? Region::Ellipse(Rect{item.left, item.top, width, height})
                                                          : ShapeRegion(shape, width, height);
            Pixel colour = 0;
            if (StockBrushColour(outlineBrush, colour)) PaintRegion(target, outline.Frame(), colour);
            if (caption != nullptr && request.text != nullptr) {
                request.text->DrawText(target, item.left + 10, item.top + 10, caption);
            }
            break;
        }
        case SHAPE_PICTURE:
            if (const Surface* face = FaceFor(request.itemState)) {
                CopyPixels(target, item.left, item.top, *face, 0, 0, width, height);
            }
            break;
        default:
            break;  // unknown shapes draw nothing and still count as drawn
    }
    return 1;
}

int32_t SkinButton::Invalidate(WindowHost& parent) const {
    parent.Invalidate(RectAt(x, y, width, height), true);
    return 1;
}

}  // namespace vc::ui
