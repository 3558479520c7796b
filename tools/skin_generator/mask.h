// Which pixels of a picture lie inside a window outline, and the edge
// shading that follows that shape pixel by pixel.
#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>
#include <vector>

#include "outline_builder.h"

namespace skin {

class Mask {
public:
    Mask(int width, int height) : width_(width), height_(height), bits_(size_t(width) * size_t(height), 0) {}
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_ && bits_[Index(x, y)] != 0;
    }
    void Set(int x, int y, bool on) { bits_[Index(x, y)] = on ? 1 : 0; }

private:
    size_t Index(int x, int y) const { return size_t(y) * size_t(width_) + size_t(x); }
    int width_;
    int height_;
    std::vector<uint8_t> bits_;
};

// Picture pixel (x, y) is window pixel (x, y + top).
Mask CoverMask(const Polygon& outline, int width, int height, int top);

// Pixels of `mask` at least `distance` pixels (4-neighbour steps) from its edge.
Mask Shrink(const Mask& mask, int distance);

// Outside the mask: the colour key. Inside: never the key colour.
void CutToMask(QImage& image, const Mask& mask);

// Light on edges that face up or left, shade on edges that face down or right.
void BevelInside(QImage& image, const Mask& mask, int width, double light, double shade);

// Blends `colour` over pixel (x, y) with weight `alpha` (0..1).
void BlendPixel(QImage& image, int x, int y, const QColor& colour, double alpha);

}  // namespace skin
