// The pixels a window outline leaves visible, as rows of runs. Every window
// system is handed these rows rather than the polygon: where an outline
// crosses itself, GDI's polygon fill and the pixel-centre rule the skin is
// cut by disagree about a few pixels, and the shells must show the same face.
#pragma once

#include <cstdint>
#include <span>

#include "core/ui/outlines.h"
#include "core/ui/region.h"

namespace vc::ui {

// The odd-even pixel-centre fill of `polygon`, clipped to a window of
// `width` x `height` pixels.
Region WindowShape(std::span<const OutlineVertex> polygon, int32_t width, int32_t height);

}  // namespace vc::ui
