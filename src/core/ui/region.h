// Window regions as runs of pixels, one row at a time, which a window system
// turns into a mask and the core uses to frame outline buttons. A pixel
// belongs to a region when its centre lies inside the shape.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/ui/geometry.h"

namespace vc::ui {

// Pixels left <= x < right of row y.
struct Span {
    int32_t y, left, right;
    bool operator==(const Span&) const = default;
};

class Region {
public:
    // The empty region. A window given an empty region keeps its whole rectangle.
    Region() = default;

    // The ellipse inscribed in `box`.
    static Region Ellipse(const Rect& box);
    // The polygon through `vertices` (closed automatically), filled by the
    // alternate (even-odd) rule.
    static Region Polygon(std::span<const Point> vertices);

    bool IsEmpty() const { return spans_.empty(); }
    bool Contains(int32_t x, int32_t y) const;
    // Rows top to bottom, runs left to right, none empty.
    const std::vector<Span>& Spans() const { return spans_; }
    Rect Bounds() const;
    int64_t PixelCount() const;

    // The pixels of the region with at least one of their four neighbours
    // outside it: a frame one pixel wide and one pixel high.
    Region Frame() const;

    // The pixels that also lie inside `box`.
    Region ClippedTo(const Rect& box) const;

    bool operator==(const Region&) const = default;

private:
    std::vector<Span> spans_;
};

}  // namespace vc::ui
