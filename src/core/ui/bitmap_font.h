// Numbers drawn from a strip of ten digit pictures, 0 to 9 left to right in
// cells of equal width. There is no glyph for a point, sign or blank: the
// decimal point belongs to the background behind the display.
#pragma once

#include <cstdint>
#include <string>

#include "core/ui/picture_store.h"
#include "core/ui/surface.h"

namespace vc::ui {

struct BitmapFont {
    int32_t glyphWidth = 0;   // strip width / 10, truncated
    int32_t glyphHeight = 0;  // strip height
    const Surface* bitmap = nullptr;

    // Takes the strip picture; a missing one leaves an empty font. Always 1.
    int32_t Load(PictureStore& pictures, int32_t pictureId);

    // Draws `value` as "%4.1f" does: the integer characters right-aligned so
    // the last lands in cell cells - 1 (blanks and minus signs as the glyph
    // 0; characters beyond the cells go left of x), then with showTenths the
    // tenths digit one cell further plus 6 pixels. Cells are glyphWidth +
    // spacing apart. Returns 1 when the last glyph was drawn, 0 without a strip.
    int32_t DrawNumber(Surface& target, int32_t x, int32_t y, int32_t cells, int32_t showTenths,
                       int32_t spacing, double value) const;
};

// The text DrawNumber lays out: "%4.1f" of `value`.
std::string FormatDisplayValue(double value);

}  // namespace vc::ui
