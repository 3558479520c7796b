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

// The outline polygon, odd-even (ALTERNATE) fill.
HRGN RegionOfOutline(std::span<const ui::OutlineVertex> polygon);

ui::Rect ToRect(const RECT& r);
RECT ToRECT(const ui::Rect& r);

}  // namespace vc::win32
