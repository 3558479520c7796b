// Dialog units of the panel templates to pixels.
//
// The templates are laid out in dialog units of their font, "System" 10.
// A dialog unit is a quarter of the font's average character width across
// and an eighth of its height down; we take that font as 8 x 16 pixels, the
// cell of the classic system font, so one dialog unit is 2 pixels both ways
// and every template fits the fixed panel sizes with room to spare.
#pragma once

#include <cstdint>

#include "core/ui/geometry.h"

namespace vc::ui {

inline constexpr int32_t kDialogBaseUnitX = 8;   // average character width, pixels
inline constexpr int32_t kDialogBaseUnitY = 16;  // character height, pixels

// One axis: rounded to the nearest pixel, halves away from zero.
int32_t DialogUnitsToPixelsX(int32_t units);
int32_t DialogUnitsToPixelsY(int32_t units);

// A template rectangle given as x, y, width, height in dialog units.
struct DialogRect {
    int32_t x, y, width, height;
};

Rect DialogRectToPixels(const DialogRect& units);

}  // namespace vc::ui
