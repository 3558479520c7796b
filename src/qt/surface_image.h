// Pixels and shapes of the core handed to Qt: surfaces become images,
// regions and outlines become widget masks.
#pragma once

#include <span>

#include <QImage>
#include <QRect>
#include <QRegion>

#include "core/ui/geometry.h"
#include "core/ui/outlines.h"
#include "core/ui/region.h"
#include "core/ui/surface.h"

namespace vc::qt {

// An opaque RGB32 image of the whole surface.
QImage ToImage(const ui::Surface& surface);

// Copies `area` of `surface` into the same place of `image` (both clipped);
// the image must be RGB32 or ARGB32 and is made opaque there.
void CopyArea(QImage& image, const ui::Surface& surface, const ui::Rect& area);

// A rectangle of the core as Qt's.
QRect ToQRect(const ui::Rect& r);

// The pixels of `region` as a Qt region of one rectangle per run.
QRegion ToQRegion(const ui::Region& region);

// The visible part of a window shaped by `polygon` (odd-even fill), clipped
// to `width` x `height`.
QRegion OutlineRegion(std::span<const ui::OutlineVertex> polygon, int width, int height);

}  // namespace vc::qt
