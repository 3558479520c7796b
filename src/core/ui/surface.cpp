#include "core/ui/surface.h"

#include <algorithm>

namespace vc::ui {

namespace {

// The part of a same-size copy that lies inside both surfaces, worked out in
// 64 bits so coordinates near the int32 limits cannot overflow.
struct CopySpan {
    int64_t dx, dy, sx, sy, width, height;
    bool IsEmpty() const { return width <= 0 || height <= 0; }
};

void ClipAxis(int64_t& d, int64_t& s, int64_t& length, int64_t targetSize, int64_t sourceSize) {
    const int64_t skip = std::max({int64_t{0}, -d, -s});
    d += skip;
    s += skip;
    length -= skip;
    length = std::min({length, targetSize - d, sourceSize - s});
}

CopySpan ClipCopy(const Surface& target, int32_t dx, int32_t dy, const Surface& source, int32_t sx,
                  int32_t sy, int32_t width, int32_t height) {
    CopySpan c{dx, dy, sx, sy, width, height};
    ClipAxis(c.dx, c.sx, c.width, target.Width(), source.Width());
    ClipAxis(c.dy, c.sy, c.height, target.Height(), source.Height());
    return c;
}

template <typename Put>
void ForEachCopied(Surface& target, const Surface& original, const CopySpan& c, Put put) {
    if (c.IsEmpty()) return;
    // A copy within one surface reads from a snapshot, so overlapping areas
    // come out as they were before the copy.
    Surface snapshot;
    if (&target == &original) snapshot = original;
    const Surface& source = &target == &original ? snapshot : original;
    for (int64_t row = 0; row < c.height; ++row) {
        const auto ty = static_cast<int32_t>(c.dy + row);
        const auto sy = static_cast<int32_t>(c.sy + row);
        for (int64_t col = 0; col < c.width; ++col) {
            put(target, static_cast<int32_t>(c.dx + col), ty,
                source.At(static_cast<int32_t>(c.sx + col), sy));
        }
    }
}

}  // namespace

Surface::Surface(int32_t width, int32_t height, Pixel fill)
    : width_(width > 0 && height > 0 ? width : 0),
      height_(width > 0 && height > 0 ? height : 0),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), fill) {}

void Surface::Fill(const Rect& area, Pixel p) {
    const Rect inside = Intersect(area, Bounds());
    if (inside.IsEmpty()) return;
    for (int32_t y = inside.top; y < inside.bottom; ++y) {
        std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(Index(inside.left, y)),
                    inside.Width(), p);
    }
}

void CopyPixels(Surface& target, int32_t dx, int32_t dy, const Surface& source, int32_t sx,
                int32_t sy, int32_t width, int32_t height) {
    ForEachCopied(target, source, ClipCopy(target, dx, dy, source, sx, sy, width, height),
                  [](Surface& t, int32_t x, int32_t y, Pixel p) { t.Set(x, y, p); });
}

void CopyPixelsKeyed(Surface& target, int32_t dx, int32_t dy, const Surface& source, int32_t sx,
                     int32_t sy, int32_t width, int32_t height, Pixel key) {
    ForEachCopied(target, source, ClipCopy(target, dx, dy, source, sx, sy, width, height),
                  [key](Surface& t, int32_t x, int32_t y, Pixel p) {
                      if (p != key) t.Set(x, y, p);
                  });
}

void StretchPixels(Surface& target, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                   const Surface& original, int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    Surface snapshot;
    if (&target == &original) snapshot = original;
    const Surface& source = &target == &original ? snapshot : original;
    // Only the target pixels inside the target surface are visited.
    const int64_t firstCol = std::max<int64_t>(0, -int64_t{dx});
    const int64_t endCol = std::min<int64_t>(dw, int64_t{target.Width()} - dx);
    const int64_t firstRow = std::max<int64_t>(0, -int64_t{dy});
    const int64_t endRow = std::min<int64_t>(dh, int64_t{target.Height()} - dy);
    for (int64_t row = firstRow; row < endRow; ++row) {
        const int64_t srcY = sy + row * sh / dh;
        if (srcY < 0 || srcY >= source.Height()) continue;
        for (int64_t col = firstCol; col < endCol; ++col) {
            const int64_t srcX = sx + col * sw / dw;
            if (srcX < 0 || srcX >= source.Width()) continue;
            target.Set(static_cast<int32_t>(dx + col), static_cast<int32_t>(dy + row),
                       source.At(static_cast<int32_t>(srcX), static_cast<int32_t>(srcY)));
        }
    }
}

void DrawPicture(Surface& target, const Surface* picture, int32_t x, int32_t y) {
    if (picture != nullptr) CopyPixels(target, x, y, *picture, 0, 0, picture->Width(), picture->Height());
}

void DrawPictureKeyed(Surface& target, const Surface* picture, int32_t x, int32_t y, Pixel key) {
    if (picture != nullptr) CopyPixelsKeyed(target, x, y, *picture, 0, 0, picture->Width(), picture->Height(), key);
}

}  // namespace vc::ui
