#include "core/ui/bitmap_font.h"

#include <cstdio>
#include <limits>

namespace vc::ui {

namespace {

constexpr int32_t kTenthsGap = 6;  // room for the decimal point printed on the background

int32_t GlyphOf(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

}  // namespace

std::string FormatDisplayValue(double value) {
    // Sized from the first pass, so even the largest doubles fit.
    const int length = std::snprintf(nullptr, 0, "%4.1f", value);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%4.1f", value);
    text.pop_back();
    return text;
}

int32_t BitmapFont::Load(PictureStore& pictures, int32_t pictureId) {
    bitmap = pictures.Get(pictureId);
    glyphWidth = bitmap != nullptr ? bitmap->Width() / 10 : 0;
    glyphHeight = bitmap != nullptr ? bitmap->Height() : 0;
    return 1;
}

int32_t BitmapFont::DrawNumber(Surface& target, int32_t x, int32_t y, int32_t cells, int32_t showTenths,
                               int32_t spacing, double value) const {
    if (bitmap == nullptr) return 0;
    const std::string text = FormatDisplayValue(value);
    const size_t point = text.find('.');
    const std::string integerPart = text.substr(0, point);
    // Without a point (infinities, NaN) there is no tenths character; it draws as 0.
    const char tenths = point != std::string::npos && point + 1 < text.size() ? text[point + 1] : ' ';
    const int64_t pitch = int64_t{glyphWidth} + spacing;

    // Positions are worked out in 64 bits; a cell that cannot lie on any
    // surface is skipped rather than wrapped around.
    const auto drawGlyph = [&](int32_t glyph, int64_t left) {
        if (left < std::numeric_limits<int32_t>::min() || left > std::numeric_limits<int32_t>::max()) return;
        CopyPixels(target, static_cast<int32_t>(left), y, *bitmap, glyph * glyphWidth, 0, glyphWidth, glyphHeight);
    };
    const auto length = static_cast<int64_t>(integerPart.size());
    for (int64_t k = 0; k < length; ++k) {
        const int64_t cell = int64_t{cells} - length + k;
        drawGlyph(GlyphOf(integerPart[static_cast<size_t>(k)]), x + cell * pitch);
    }
    if (showTenths != 0) drawGlyph(GlyphOf(tenths), x + int64_t{cells} * pitch + kTenthsGap);
    return 1;
}

}  // namespace vc::ui
