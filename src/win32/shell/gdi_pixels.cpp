#include "win32/shell/gdi_pixels.h"

#include <cstring>
#include <vector>

#include "core/ui/window_shape.h"

namespace vc::win32 {

void PutSurface(HDC dc, const ui::Surface& surface, const ui::Rect& area) {
    const ui::Rect clipped = ui::Intersect(area, surface.Bounds());
    if (clipped.IsEmpty()) return;
    // The area goes through a buffer of its own size: a top-down device-
    // independent bitmap whose rows are the surface's 0x00RRGGBB pixels, so
    // no source offsets (counted from the bottom for such bitmaps) are needed.
    const int32_t width = clipped.Width();
    const int32_t height = clipped.Height();
    std::vector<ui::Pixel> rows(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        const ui::Pixel* from = surface.Pixels().data() +
                                static_cast<size_t>(clipped.top + y) * static_cast<size_t>(surface.Width()) +
                                static_cast<size_t>(clipped.left);
        std::memcpy(rows.data() + static_cast<size_t>(y) * static_cast<size_t>(width), from,
                    static_cast<size_t>(width) * sizeof(ui::Pixel));
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, clipped.left, clipped.top, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), rows.data(), &info, DIB_RGB_COLORS);
}

HRGN RegionOfSpans(const ui::Region& region) {
    if (region.IsEmpty()) return nullptr;
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    for (const ui::Span& span : region.Spans()) {
        HRGN run = CreateRectRgn(span.left, span.y, span.right, span.y + 1);
        CombineRgn(result, result, run, RGN_OR);
        DeleteObject(run);
    }
    return result;
}

HRGN RegionOfOutline(std::span<const ui::OutlineVertex> polygon, int32_t width, int32_t height) {
    HRGN shape = RegionOfSpans(ui::WindowShape(polygon, width, height));
    // An empty shape hides the whole window (a null region would show it all).
    return shape != nullptr ? shape : CreateRectRgn(0, 0, 0, 0);
}

ui::Rect ToRect(const RECT& r) { return ui::Rect{r.left, r.top, r.right, r.bottom}; }

RECT ToRECT(const ui::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace vc::win32
