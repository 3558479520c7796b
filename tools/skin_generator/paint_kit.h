// Drawing pieces shared by every picture: the brushed metal, engraved
// labels, display windows with their unlit segments, and the digit glyphs.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <random>

namespace skin {

// The colour key: pixels of exactly this colour are never drawn.
inline const QColor kKey(254, 254, 254);

namespace palette {
inline const QColor kMetal(58, 63, 70);
inline const QColor kHood(36, 40, 46);
inline const QColor kLabel(214, 220, 228);
inline const QColor kLabelShadow(12, 14, 16);
inline const QColor kDigitLit(255, 206, 26);
inline const QColor kDigitGhost(38, 32, 8);
inline const QColor kWindow(6, 6, 6);
}  // namespace palette

// A new opaque picture filled with one colour.
QImage Blank(int width, int height, const QColor& colour);

// Horizontal brushed streaks around `base`, the same for the same seed.
void FillBrushedMetal(QImage& image, const QColor& base, uint32_t seed, int strength);

// DejaVu Sans at a pixel size, bold or not, hinted for crisp small text.
QFont LabelFont(int pixelSize, bool bold, bool condensed = false);

// Text engraved into metal: a dark shadow one pixel below, the text above.
void EngravedText(QPainter& painter, const QRectF& box, int flags, const QString& text,
                  const QFont& font, const QColor& colour = palette::kLabel);

// A recessed display window: dark bevel on top and left, light on the bottom
// and right, black glass inside.
void DisplayWindow(QPainter& painter, const QRect& outer);

// One seven-segment glyph filling the cell at (x, y) of cell size w x h. The
// segments of `digit` are lit, the others drawn as unlit ghosts; digit -1
// draws every segment unlit.
void SevenSegment(QPainter& painter, double x, double y, double w, double h, int digit);

// The printed decimal point between a display's last integer cell and its
// tenths cell.
void DecimalPoint(QPainter& painter, double centreX, double baseY, double size);

// The way the program draws a number into a display (ten-cell strip, right
// aligned, blanks and signs as 0, tenths after a 6-pixel gap).
void DrawNumber(QPainter& painter, const QImage& strip, int x, int y, int cells, bool showTenths,
                int spacing, double value);

// Deterministic noise: the standard fixes mt19937's sequence.
class Noise {
public:
    explicit Noise(uint32_t seed) : engine_(seed) {}
    // Uniform in [-1, 1].
    double Next() { return double(engine_()) / double(std::mt19937::max()) * 2.0 - 1.0; }

private:
    std::mt19937 engine_;
};

}  // namespace skin
