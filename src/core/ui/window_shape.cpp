#include "core/ui/window_shape.h"

#include <vector>

namespace vc::ui {

Region WindowShape(std::span<const OutlineVertex> polygon, int32_t width, int32_t height) {
    std::vector<Point> points;
    points.reserve(polygon.size());
    for (const OutlineVertex& v : polygon) points.push_back(Point{v.x, v.y});
    return Region::Polygon(points).ClippedTo(Rect{0, 0, width, height});
}

}  // namespace vc::ui
