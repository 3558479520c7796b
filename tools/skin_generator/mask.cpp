#include "mask.h"

#include <QColor>
#include <algorithm>
#include <cmath>

namespace skin {

Mask CoverMask(const Polygon& outline, int width, int height, int top) {
    Mask mask(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) mask.Set(x, y, CoversPixel(outline, x, y + top));
    }
    return mask;
}

Mask Shrink(const Mask& mask, int distance) {
    Mask current = mask;
    for (int step = 0; step < distance; ++step) {
        Mask next(mask.Width(), mask.Height());
        for (int y = 0; y < mask.Height(); ++y) {
            for (int x = 0; x < mask.Width(); ++x) {
                next.Set(x, y, current.At(x, y) && current.At(x - 1, y) && current.At(x + 1, y) &&
                                   current.At(x, y - 1) && current.At(x, y + 1));
            }
        }
        current = next;
    }
    return current;
}

void CutToMask(QImage& image, const Mask& mask) {
    const QRgb key = qRgb(254, 254, 254);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!mask.At(x, y)) {
                line[x] = key;
            } else if ((line[x] & 0xFFFFFF) == (key & 0xFFFFFF)) {
                line[x] = qRgb(253, 253, 253);
            }
        }
    }
}

void BlendPixel(QImage& image, int x, int y, const QColor& colour, double alpha) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
    const QRgb old = image.pixel(x, y);
    auto mix = [alpha](int a, int b) {
        return std::clamp(static_cast<int>(std::lround(a + (b - a) * alpha)), 0, 255);
    };
    image.setPixel(x, y, qRgb(mix(qRed(old), colour.red()), mix(qGreen(old), colour.green()),
                              mix(qBlue(old), colour.blue())));
}

void BevelInside(QImage& image, const Mask& mask, int width, double light, double shade) {
    const QImage before = image.copy();
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            if (!mask.At(x, y)) continue;
            for (int d = 1; d <= width; ++d) {
                const double fade = double(width - d + 1) / width;
                if (!mask.At(x, y - d) || !mask.At(x - d, y)) {
                    image.setPixel(x, y, before.pixel(x, y));
                    BlendPixel(image, x, y, QColor(235, 240, 248), light * fade);
                    break;
                }
                if (!mask.At(x, y + d) || !mask.At(x + d, y)) {
                    image.setPixel(x, y, before.pixel(x, y));
                    BlendPixel(image, x, y, QColor(0, 0, 0), shade * fade);
                    break;
                }
            }
        }
    }
}

}  // namespace skin
