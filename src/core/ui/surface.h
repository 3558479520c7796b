// A picture in memory and a window's screen: width x height pixels of
// 0x00RRGGBB, rows top to bottom. Pictures and screens are the same type, so
// anything drawn can be drawn again.
#pragma once

#include <cstdint>
#include <vector>

#include "core/ui/geometry.h"

namespace vc::ui {

using Pixel = uint32_t;  // 0x00RRGGBB

constexpr Pixel Rgb(uint8_t red, uint8_t green, uint8_t blue) {
    return (static_cast<Pixel>(red) << 16) | (static_cast<Pixel>(green) << 8) | blue;
}
constexpr uint8_t RedOf(Pixel p) { return static_cast<uint8_t>(p >> 16); }
constexpr uint8_t GreenOf(Pixel p) { return static_cast<uint8_t>(p >> 8); }
constexpr uint8_t BlueOf(Pixel p) { return static_cast<uint8_t>(p); }

// Pixels of exactly this colour are not drawn by a colour-keyed copy.
inline constexpr Pixel kColourKey = Rgb(254, 254, 254);

class Surface {
public:
    Surface() = default;
    // Negative sizes give an empty surface.
    Surface(int32_t width, int32_t height, Pixel fill = 0);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool IsEmpty() const { return width_ == 0 || height_ == 0; }
    Rect Bounds() const { return Rect{0, 0, width_, height_}; }
    bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Unchecked: (x, y) must lie inside. Use Contains or the copies for clipping.
    Pixel At(int32_t x, int32_t y) const { return pixels_[Index(x, y)]; }
    void Set(int32_t x, int32_t y, Pixel p) { pixels_[Index(x, y)] = p; }

    // Fills the part of `area` that lies inside the surface.
    void Fill(const Rect& area, Pixel p);

    const std::vector<Pixel>& Pixels() const { return pixels_; }
    bool operator==(const Surface&) const = default;

private:
    size_t Index(int32_t x, int32_t y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
    }

    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<Pixel> pixels_;
};

// Copies `width` x `height` pixels from (sx, sy) of `source` to (dx, dy) of
// `target`. Everything is clipped to both surfaces: pixels whose source or
// target lies outside are left alone, and the rest stay where they belong.
void CopyPixels(Surface& target, int32_t dx, int32_t dy, const Surface& source, int32_t sx,
                int32_t sy, int32_t width, int32_t height);

// The same, but source pixels of exactly `key` are not drawn.
void CopyPixelsKeyed(Surface& target, int32_t dx, int32_t dy, const Surface& source, int32_t sx,
                     int32_t sy, int32_t width, int32_t height, Pixel key = kColourKey);

// Scales the source rectangle (sx, sy, sw x sh) onto the target rectangle
// (dx, dy, dw x dh) by nearest neighbour: target column i takes source column
// sx + i * sw / dw (integer division), rows alike, so whole source lines are
// repeated or dropped and no colours are mixed. Clipping never shifts the
// mapping. Non-positive sizes draw nothing.
void StretchPixels(Surface& target, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                   const Surface& source, int32_t sx, int32_t sy, int32_t sw, int32_t sh);

// A whole picture at (x, y), clipped. Pictures are handed around as
// pointers: a null one (a picture that could not be loaded) draws nothing.
void DrawPicture(Surface& target, const Surface* picture, int32_t x, int32_t y);
void DrawPictureKeyed(Surface& target, const Surface* picture, int32_t x, int32_t y, Pixel key = kColourKey);

}  // namespace vc::ui
