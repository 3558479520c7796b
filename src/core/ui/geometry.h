// Points and rectangles in pixels. A rectangle holds its left and top edges
// and excludes its right and bottom ones, as window rectangles do.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vc::ui {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int32_t left, top, right, bottom;

    constexpr int32_t Width() const { return right - left; }
    constexpr int32_t Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool operator==(const Rect&) const = default;
};

// The rectangle of `width` x `height` pixels with its top-left corner at (x, y).
constexpr Rect RectAt(int32_t x, int32_t y, int32_t width, int32_t height) {
    return Rect{x, y, x + width, y + height};
}

constexpr Rect Intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

}  // namespace vc::ui
