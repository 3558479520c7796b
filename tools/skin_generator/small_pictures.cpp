// Digit strips, progress-strip frames, panel frame pieces, the close button
// and the program icon.
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>

#include "core/ui/picture_catalogue.h"
#include "paint_kit.h"
#include "skin.h"

namespace skin {

namespace {

QImage DigitStrip(int cellWidth, int cellHeight) {
    QImage strip = Blank(cellWidth * 10, cellHeight, palette::kWindow);
    QPainter p(&strip);
    for (int digit = 0; digit < 10; ++digit) SevenSegment(p, digit * cellWidth, 0, cellWidth, cellHeight, digit);
    return strip;
}

// Frame f of the travelling strip: the head (frame 11) brightest, a fading
// tail behind it, the rest dark like the empty slot.
QImage StripFrame(int frame) {
    static constexpr double kGlow[12] = {0, 0, 0, 0, 0, 0, 0.08, 0.16, 0.3, 0.5, 0.75, 1.0};
    const double g = kGlow[frame];
    QImage image = Blank(5, 10, QColor(26, 24, 10));
    auto mix = [g](int dark, int lit) { return static_cast<int>(std::lround(dark + (lit - dark) * g)); };
    const QColor inner(mix(40, 255), mix(36, 214), mix(12, 40));
    QPainter p(&image);
    p.fillRect(QRect(1, 1, 3, 8), inner);
    if (g > 0.4) p.fillRect(QRect(2, 2, 1, 6), QColor(255, 246, 190));
    return image;
}

// Frame pieces vary across their thickness only, so stretching them along
// their length changes nothing.
QImage TitleStrip() {
    QImage image(400, 19, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, 19);
    fill.setColorAt(0, QColor(92, 99, 108));
    fill.setColorAt(0.5, QColor(56, 61, 68));
    fill.setColorAt(1, QColor(34, 37, 42));
    p.fillRect(image.rect(), fill);
    p.fillRect(QRect(0, 0, 400, 1), QColor(150, 158, 168));
    p.fillRect(QRect(0, 17, 400, 1), QColor(20, 22, 25));
    p.fillRect(QRect(0, 18, 400, 1), QColor(255, 190, 40));  // amber rule under the title
    return image;
}

QImage SideEdge(int width, bool left) {
    QImage image(width, 281, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient fill(0, 0, width, 0);
    fill.setColorAt(left ? 0 : 1, QColor(24, 26, 30));
    fill.setColorAt(left ? 0.3 : 0.7, QColor(110, 118, 128));
    fill.setColorAt(left ? 1 : 0, QColor(46, 50, 56));
    p.fillRect(image.rect(), fill);
    return image;
}

QImage BottomEdge() {
    QImage image(387, 6, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, 6);
    fill.setColorAt(0, QColor(46, 50, 56));
    fill.setColorAt(0.4, QColor(104, 112, 122));
    fill.setColorAt(1, QColor(20, 22, 25));
    p.fillRect(image.rect(), fill);
    return image;
}

QImage CloseFace(bool pressed) {
    // Drawn over the title strip's rows 2 to 14, where the button sits.
    QImage image = TitleStrip().copy(0, 2, 17, 13);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 12, 6));
    p.drawRoundedRect(QRectF(0.5, 0.5, 16, 12), 2.5, 2.5);
    QLinearGradient fill(0, 1, 0, 12);
    fill.setColorAt(0, pressed ? QColor(150, 62, 10) : QColor(255, 170, 70));
    fill.setColorAt(1, pressed ? QColor(200, 90, 20) : QColor(214, 88, 10));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1.5, 1.5, 14, 10), 2, 2);
    const double o = pressed ? 1 : 0;
    p.setPen(QPen(QColor(255, 255, 255), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5 + o, 3.5 + o), QPointF(11.5 + o, 9.5 + o));
    p.drawLine(QPointF(11.5 + o, 3.5 + o), QPointF(5.5 + o, 9.5 + o));
    return image;
}

// The icon: a dark dial with the gauge's six colours and a needle.
QImage Icon(int size) {
    QImage image = Blank(size, size, kKey);
    QPainter p(&image);
    // No antialiasing against the key colour: blended edges would leave a light fringe.
    p.setRenderHint(QPainter::Antialiasing, false);
    const double s = size / 32.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 22, 26));
    p.drawEllipse(QRectF(1 * s, 1 * s, 30 * s, 30 * s));
    p.setBrush(QColor(70, 76, 86));
    p.drawEllipse(QRectF(3 * s, 3 * s, 26 * s, 26 * s));
    p.setBrush(QColor(12, 13, 15));
    p.drawEllipse(QRectF(4 * s, 4 * s, 24 * s, 24 * s));
    const QColor colours[6] = {QColor(70, 225, 95), QColor(150, 235, 60), QColor(225, 235, 50),
                               QColor(255, 200, 40), QColor(255, 130, 30), QColor(245, 55, 40)};
    const QRectF arc(7 * s, 7 * s, 18 * s, 18 * s);
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(colours[i], std::max(2.0, 3.2 * s), Qt::SolidLine, Qt::FlatCap));
        p.drawArc(arc, (210 - i * 40) * 16, -34 * 16);
    }
    p.setPen(QPen(QColor(255, 206, 26), std::max(1.0, 2.0 * s), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16 * s, 17 * s), QPointF(23 * s, 10 * s));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 214, 220));
    p.drawEllipse(QPointF(16 * s, 17 * s), 2.0 * s, 2.0 * s);
    return image;
}

}  // namespace

void DrawDigitStrips(Skin& skin) {
    skin.pictures[110] = DigitStrip(16, 32);
    skin.pictures[152] = DigitStrip(10, 20);
}

void DrawSmallPictures(Skin& skin) {
    for (int frame = 0; frame < vc::ui::kStripFrameCount; ++frame) {
        skin.pictures[vc::ui::kStripFramePictures[static_cast<size_t>(frame)]] = StripFrame(frame);
    }
    skin.pictures[156] = TitleStrip();
    skin.pictures[154] = SideEdge(7, true);
    skin.pictures[155] = SideEdge(6, false);
    skin.pictures[166] = BottomEdge();
    skin.pictures[173] = CloseFace(false);
    skin.pictures[172] = CloseFace(true);
    skin.icon16 = Icon(16);
    skin.icon32 = Icon(32);
}

}  // namespace skin
