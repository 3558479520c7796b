#include "qt/surface_image.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "core/ui/window_shape.h"

namespace vc::qt {

namespace {

constexpr QRgb kOpaque = 0xFF000000u;

}  // namespace

QImage ToImage(const ui::Surface& surface) {
    QImage image(surface.Width(), surface.Height(), QImage::Format_RGB32);
    CopyArea(image, surface, surface.Bounds());
    return image;
}

void CopyArea(QImage& image, const ui::Surface& surface, const ui::Rect& area) {
    const ui::Rect clipped = ui::Intersect(
        ui::Intersect(area, surface.Bounds()), ui::Rect{0, 0, image.width(), image.height()});
    if (clipped.IsEmpty()) return;
    // Rows go through a buffer: a scan line is bytes, not aligned pixels.
    std::vector<QRgb> row(static_cast<size_t>(clipped.Width()));
    for (int32_t y = clipped.top; y < clipped.bottom; ++y) {
        for (int32_t x = clipped.left; x < clipped.right; ++x)
            row[static_cast<size_t>(x - clipped.left)] = kOpaque | surface.At(x, y);
        std::memcpy(image.scanLine(y) + static_cast<ptrdiff_t>(clipped.left) * 4, row.data(),
                    row.size() * sizeof(QRgb));
    }
}

QRect ToQRect(const ui::Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

QRegion ToQRegion(const ui::Region& region) {
    std::vector<QRect> rects;
    rects.reserve(region.Spans().size());
    for (const ui::Span& span : region.Spans())
        rects.emplace_back(span.left, span.y, span.right - span.left, 1);
    QRegion result;
    result.setRects(rects.data(), static_cast<int>(rects.size()));
    return result;
}

QRegion OutlineRegion(std::span<const ui::OutlineVertex> polygon, int width, int height) {
    return ToQRegion(ui::WindowShape(polygon, width, height));
}

}  // namespace vc::qt
