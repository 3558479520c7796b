#include "core/ui/panels/dialog_units.h"

#include <cstdlib>

namespace vc::ui {

namespace {

// units * base / divisor, rounded half away from zero, in 64 bits so no
// template value can overflow.
int32_t Scale(int32_t units, int32_t base, int32_t divisor) {
    const int64_t product = static_cast<int64_t>(units) * base;
    const int64_t magnitude = (std::llabs(product) + divisor / 2) / divisor;
    return static_cast<int32_t>(product < 0 ? -magnitude : magnitude);
}

}  // namespace

int32_t DialogUnitsToPixelsX(int32_t units) { return Scale(units, kDialogBaseUnitX, 4); }
int32_t DialogUnitsToPixelsY(int32_t units) { return Scale(units, kDialogBaseUnitY, 8); }

Rect DialogRectToPixels(const DialogRect& units) {
    // Both edges are converted, so adjacent controls stay adjacent.
    const int32_t left = DialogUnitsToPixelsX(units.x);
    const int32_t top = DialogUnitsToPixelsY(units.y);
    return Rect{left, top, DialogUnitsToPixelsX(units.x + units.width),
                DialogUnitsToPixelsY(units.y + units.height)};
}

}  // namespace vc::ui
