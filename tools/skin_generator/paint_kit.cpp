#include "paint_kit.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace skin {

QImage Blank(int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void FillBrushedMetal(QImage& image, const QColor& base, uint32_t seed, int strength) {
    Noise noise(seed);
    const int w = image.width();
    constexpr int kStreak = 40;
    std::vector<double> raw(static_cast<size_t>(w + kStreak));
    for (int y = 0; y < image.height(); ++y) {
        const double row = noise.Next();
        for (double& v : raw) v = noise.Next();
        double sum = 0;
        for (int i = 0; i < kStreak; ++i) sum += raw[static_cast<size_t>(i)];
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double streak = sum / kStreak;  // about +-0.3
            sum += raw[static_cast<size_t>(x + kStreak)] - raw[static_cast<size_t>(x)];
            const double fine = raw[static_cast<size_t>(x)];
            const double delta = strength * (0.45 * row + 2.2 * streak + 0.18 * fine);
            auto channel = [delta](int c) {
                return std::clamp(static_cast<int>(std::lround(c + delta)), 0, 253);
            };
            line[x] = qRgb(channel(base.red()), channel(base.green()), channel(base.blue()));
        }
    }
}

QFont LabelFont(int pixelSize, bool bold, bool condensed) {
    QFont font(condensed ? QStringLiteral("DejaVu Sans Condensed") : QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void EngravedText(QPainter& painter, const QRectF& box, int flags, const QString& text,
                  const QFont& font, const QColor& colour) {
    painter.save();
    painter.setFont(font);
    painter.setPen(palette::kLabelShadow);
    painter.drawText(box.translated(0, 1), flags, text);
    painter.setPen(colour);
    painter.drawText(box, flags, text);
    painter.restore();
}

void DisplayWindow(QPainter& painter, const QRect& outer) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Bezel: shadow above and left, light edge below and right.
    painter.fillRect(outer, QColor(20, 22, 25));
    painter.fillRect(QRect(outer.left(), outer.bottom(), outer.width(), 1), QColor(120, 128, 138));
    painter.fillRect(QRect(outer.right(), outer.top(), 1, outer.height()), QColor(104, 111, 120));
    painter.fillRect(QRect(outer.left(), outer.top(), outer.width() - 1, 1), QColor(10, 11, 12));
    painter.fillRect(QRect(outer.left(), outer.top(), 1, outer.height() - 1), QColor(14, 15, 17));
    painter.fillRect(outer.adjusted(2, 2, -2, -2), palette::kWindow);
    painter.restore();
}

namespace {

// Segment bits a b c d e f g for the digits 0 to 9.
constexpr std::array<uint8_t, 10> kSegments{0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                            0x6D, 0x7D, 0x07, 0x7F, 0x6F};

QPolygonF HorizontalBar(double x0, double x1, double yc, double t) {
    const double h = t / 2;
    return QPolygonF({QPointF(x0, yc), QPointF(x0 + h, yc - h), QPointF(x1 - h, yc - h),
                      QPointF(x1, yc), QPointF(x1 - h, yc + h), QPointF(x0 + h, yc + h)});
}

QPolygonF VerticalBar(double xc, double y0, double y1, double t) {
    const double h = t / 2;
    return QPolygonF({QPointF(xc, y0), QPointF(xc + h, y0 + h), QPointF(xc + h, y1 - h),
                      QPointF(xc, y1), QPointF(xc - h, y1 - h), QPointF(xc - h, y0 + h)});
}

}  // namespace

void SevenSegment(QPainter& painter, double x, double y, double w, double h, int digit) {
    const double t = std::max(2.0, std::round(w * 0.19));
    const double mx = w * 0.14;
    const double my = h * 0.06;
    const double gap = w >= 14 ? 0.8 : 0.5;
    const double xl = x + mx + t / 2, xr = x + w - mx - t / 2;
    const double yt = y + my + t / 2, yb = y + h - my - t / 2, ym = y + h / 2.0;
    const std::array<QPolygonF, 7> bars{
        HorizontalBar(xl + gap, xr - gap, yt, t),  // a
        VerticalBar(xr, yt + gap, ym - gap, t),     // b
        VerticalBar(xr, ym + gap, yb - gap, t),     // c
        HorizontalBar(xl + gap, xr - gap, yb, t),  // d
        VerticalBar(xl, ym + gap, yb - gap, t),     // e
        VerticalBar(xl, yt + gap, ym - gap, t),     // f
        HorizontalBar(xl + gap, xr - gap, ym, t),  // g
    };
    const uint8_t lit = (digit >= 0 && digit <= 9) ? kSegments[static_cast<size_t>(digit)] : 0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    for (size_t s = 0; s < bars.size(); ++s) {
        const bool on = (lit >> s) & 1;
        painter.setBrush(on ? palette::kDigitLit : palette::kDigitGhost);
        painter.drawPolygon(bars[s]);
    }
    // A brighter core on lit segments reads as a glowing tube.
    painter.setBrush(QColor(255, 240, 150));
    for (size_t s = 0; s < bars.size(); ++s) {
        if (((lit >> s) & 1) == 0 || t < 3) continue;
        const QRectF box = bars[s].boundingRect();
        const bool horizontal = box.width() > box.height();
        const QRectF core = horizontal ? box.adjusted(t * 0.6, t * 0.4, -t * 0.6, -t * 0.4)
                                       : box.adjusted(t * 0.4, t * 0.6, -t * 0.4, -t * 0.6);
        painter.drawRect(core);
    }
    painter.restore();
}

void DecimalPoint(QPainter& painter, double centreX, double baseY, double size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kDigitLit);
    painter.drawRect(QRectF(centreX - size / 2, baseY - size, size, size));
    painter.restore();
}

void DrawNumber(QPainter& painter, const QImage& strip, int x, int y, int cells, bool showTenths,
                int spacing, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%4.1f", value);
    const char* point = std::strchr(text, '.');
    const int length = point ? static_cast<int>(point - text) : static_cast<int>(std::strlen(text));
    const int gw = strip.width() / 10;
    const int gh = strip.height();
    auto glyphOf = [](char c) { return (c >= '0' && c <= '9') ? c - '0' : 0; };
    for (int k = 0; k < length; ++k) {
        const int cell = cells - length + k;
        painter.drawImage(QPoint(x + cell * (gw + spacing), y), strip,
                          QRect(glyphOf(text[k]) * gw, 0, gw, gh));
    }
    if (showTenths && point) {
        painter.drawImage(QPoint(x + cells * (gw + spacing) + 6, y), strip,
                          QRect(glyphOf(point[1]) * gw, 0, gw, gh));
    }
}

}  // namespace skin
