// The skinned frame of a panel: the title strip, the two side edges and the
// bottom edge, each stretched whole over its part of the panel.
#pragma once

#include <cstdint>

#include "core/ui/picture_store.h"
#include "core/ui/surface.h"

namespace vc::ui {

inline constexpr int32_t kPictureFrameTitle = 156;
inline constexpr int32_t kPictureFrameLeft = 154;
inline constexpr int32_t kPictureFrameRight = 155;
inline constexpr int32_t kPictureFrameBottom = 166;

// Paints the frame of a `width` x `height` panel into `target`. A piece
// whose picture is missing is left unpainted.
void PaintPanelFrame(Surface& target, PictureStore& pictures, int32_t width, int32_t height);

}  // namespace vc::ui
