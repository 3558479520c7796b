// The core's pixels and shapes in GDI terms: surfaces put on a device
// context, regions of pixel runs and outline polygons as region handles.
#pragma once

#include "win32/shell/windows_api.h"

#include <span>

#include "core/ui/outlines.h"
#include "core/ui/region.h"
#include "core/ui/surface.h"

namespace vc::win32 {

// Puts `area` of `surface` on `dc` at the same coordinates, clipped to the surface.
void PutSurface(HDC dc, const ui::Surface& surface, const ui::Rect& area);

// The region of `region`'s pixel runs; null for an empty region.
HRGN RegionOfSpans(const ui::Region& region);

// The window shape the outline polygon gives a `width` x `height` window:
// the core's rows, not GDI's polygon fill, which differs where it crosses itself.
HRGN RegionOfOutline(std::span<const ui::OutlineVertex> polygon, int32_t width, int32_t height);

ui::Rect ToRect(const RECT& r);
RECT ToRECT(const ui::Rect& r);

}  // namespace vc::win32
