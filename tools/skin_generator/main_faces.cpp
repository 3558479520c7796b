// The two backgrounds of the main window, the gauge lamps cut from the
// Advance face, and the button faces drawn over the background they cover.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <array>
#include <cmath>
#include <stdexcept>

#include "button_faces.h"
#include "core/ui/main/main_window_places.h"
#include "core/ui/picture_catalogue.h"
#include "mask.h"
#include "paint_kit.h"
#include "skin.h"

namespace skin {

namespace {

using vc::ui::Layout;

constexpr int kWidth = vc::ui::kMainWidth;
constexpr int kAdvanceHeight = vc::ui::kMainHeight;
constexpr int kEasyHeight = vc::ui::kMainHeight - vc::ui::kEasyTop;
constexpr int kEasyTop = vc::ui::kEasyTop;

// Ghost segments in every cell of a display, so blank cells look like the
// drawn ones; the decimal point printed between integer and tenths cells.
void DisplayCells(QPainter& p, const vc::ui::DisplayPlace& d, int yShift) {
    const int gw = d.picture == vc::ui::kPictureLargeDigits ? 16 : 10;
    const int gh = d.picture == vc::ui::kPictureLargeDigits ? 32 : 20;
    const int y = d.y - yShift;
    for (int cell = 0; cell < d.cells; ++cell) SevenSegment(p, d.x + cell * (gw + d.spacing), y, gw, gh, -1);
    if (d.showTenths) {
        SevenSegment(p, d.x + d.cells * (gw + d.spacing) + 6, y, gw, gh, -1);
        const double lastEnd = d.x + d.cells * (gw + d.spacing) - d.spacing;
        const double tenthsStart = d.x + d.cells * (gw + d.spacing) + 6;
        DecimalPoint(p, (lastEnd + tenthsStart) / 2.0, y + gh - 2, 3);
    }
}

const vc::ui::DisplayPlace& Display(Layout layout, vc::ui::DisplayValue value) {
    for (const auto& d : vc::ui::MainDisplays()) {
        if (d.layout == layout && d.value == value) return d;
    }
    throw std::logic_error("display missing from the layout");
}

// ---- the gauge ----

const std::array<QColor, vc::ui::kLampCount> kLampColours{
    QColor(70, 225, 95), QColor(150, 235, 60), QColor(225, 235, 50),
    QColor(255, 200, 40), QColor(255, 130, 30), QColor(245, 55, 40)};

// The gauge's centre line: up the left side, round the corner, and across
// the top, rising a little towards the red end.
QPainterPath GaugeCentre() {
    QPainterPath centre;
    centre.moveTo(112, 114);
    centre.lineTo(112, 80);
    centre.cubicTo(112, 52, 128, 40, 156, 40);
    centre.cubicTo(230, 40, 300, 37, 360, 32);
    return centre;
}

double GaugeHalfWidth(double t) { return (8.0 + 8.0 * t) / 2.0; }

// The band the six segments are cut from, widening as it goes.
QPainterPath GaugeBand() {
    const QPainterPath centre = GaugeCentre();
    constexpr int kSamples = 240;
    QPolygonF outer, inner;
    for (int i = 0; i <= kSamples; ++i) {
        const double t = double(i) / kSamples;
        const QPointF point = centre.pointAtPercent(t);
        const double angle = centre.angleAtPercent(t) * 3.14159265358979323846 / 180.0;
        const QPointF normal(-std::sin(angle), -std::cos(angle));  // to the left of travel
        const double half = GaugeHalfWidth(t);
        outer << point + normal * half;
        inner << point - normal * half;
    }
    QPolygonF band = outer;
    for (qsizetype i = inner.size(); i-- > 0;) band << inner[i];
    QPainterPath path;
    path.addPolygon(band);
    path.closeSubpath();
    return path;
}

QPainterPath LampSegment(const QPainterPath& band, const vc::ui::LampRect& lamp) {
    QPainterPath box;
    box.addRect(QRectF(lamp.x + 1.5, lamp.y + 1.5, lamp.width - 3, lamp.height - 3));
    return band.intersected(box);
}

void DrawGauge(QImage& image, bool lit) {
    const QPainterPath band = GaugeBand();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Tick marks along the inner edge of the band.
    p.setPen(QPen(QColor(120, 128, 138), 1));
    const QPainterPath centre = GaugeCentre();
    for (int i = 0; i <= 24; ++i) {
        const double t = 0.02 + 0.96 * i / 24.0;
        const QPointF point = centre.pointAtPercent(t);
        const double angle = centre.angleAtPercent(t) * 3.14159265358979323846 / 180.0;
        const QPointF normal(-std::sin(angle), -std::cos(angle));
        const double half = GaugeHalfWidth(t);
        const double length = (i % 4 == 0) ? 6 : 3;
        p.drawLine(point - normal * (half + 3), point - normal * (half + 3 + length));
    }
    const auto lamps = vc::ui::LampRects();
    for (size_t i = 0; i < lamps.size(); ++i) {
        const QPainterPath segment = LampSegment(band, lamps[i]);
        const QColor hue = kLampColours[i];
        p.setPen(Qt::NoPen);
        if (lit) {
            p.save();
            p.setClipRect(QRect(lamps[i].x, lamps[i].y, lamps[i].width, lamps[i].height));
            p.setBrush(Qt::NoBrush);
            for (int width : {9, 6, 3}) {
                p.setPen(QPen(QColor(hue.red(), hue.green(), hue.blue(), 34), width, Qt::SolidLine,
                              Qt::RoundCap, Qt::RoundJoin));
                p.drawPath(segment);
            }
            p.restore();
            p.setPen(Qt::NoPen);
            const QRectF box = segment.boundingRect();
            QLinearGradient fill(box.topLeft(), box.bottomRight());
            fill.setColorAt(0, QColor(std::min(253, hue.red() + 40), std::min(253, hue.green() + 40),
                                      std::min(253, hue.blue() + 40)));
            fill.setColorAt(1, hue);
            p.setBrush(fill);
        } else {
            p.setBrush(QColor(hue.red() / 5 + 20, hue.green() / 5 + 20, hue.blue() / 5 + 20));
        }
        p.drawPath(segment);
        p.setPen(QPen(QColor(0, 0, 0, 140), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(segment);
    }
}

// ---- the faces without their buttons ----

void Screw(QPainter& p, QPointF at) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(18, 20, 23));
    p.drawEllipse(at, 3.5, 3.5);
    QRadialGradient head(at - QPointF(1, 1), 3.5);
    head.setColorAt(0, QColor(170, 176, 184));
    head.setColorAt(1, QColor(70, 76, 84));
    p.setBrush(head);
    p.drawEllipse(at, 2.8, 2.8);
    p.setPen(QPen(QColor(30, 32, 36), 1));
    p.drawLine(at + QPointF(-2, 1.2), at + QPointF(2, -1.2));
    p.restore();
}

QImage PlainAdvance(const Polygon& outline, bool lampsLit) {
    QImage image = Blank(kWidth, kAdvanceHeight, palette::kMetal);
    FillBrushedMetal(image, palette::kMetal, 1361, 5);
    const Mask cover = CoverMask(outline, kWidth, kAdvanceHeight, 0);

    // The instrument hood: the dome above the controls, a darker bay.
    Mask hood = Shrink(cover, 6);
    for (int y = 0; y < kAdvanceHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (y > 124 || x < 58 || x > 436) hood.Set(x, y, false);
        }
    }
    QImage bay = Blank(kWidth, kAdvanceHeight, palette::kHood);
    FillBrushedMetal(bay, palette::kHood, 2718, 3);
    for (int y = 0; y < kAdvanceHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (hood.At(x, y)) image.setPixel(x, y, bay.pixel(x, y));
        }
    }
    BevelInside(image, cover, 3, 0.45, 0.6);
    // The bay is sunk: shade on its upper edges, light on its lower ones.
    for (int y = 0; y < kAdvanceHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!hood.At(x, y)) continue;
            if (!hood.At(x, y - 1) || !hood.At(x - 1, y)) BlendPixel(image, x, y, QColor(0, 0, 0), 0.7);
            else if (!hood.At(x, y - 2) || !hood.At(x - 2, y)) BlendPixel(image, x, y, QColor(0, 0, 0), 0.35);
            else if (!hood.At(x, y + 1) || !hood.At(x + 1, y)) BlendPixel(image, x, y, QColor(200, 206, 214), 0.45);
        }
    }

    DrawGauge(image, lampsLit);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    // Processor display in the hood.
    const auto& cpu = Display(Layout::Advance, vc::ui::DisplayValue::SelectedCpuClock);
    DisplayWindow(p, QRect(250, 78, 115, 43));
    DisplayCells(p, cpu, 0);
    EngravedText(p, QRectF(368, 96, 44, 20), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("MHz"),
                 LabelFont(13, true));
    EngravedText(p, QRectF(250, 64, 115, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("CPU CLOCK"),
                 LabelFont(9, true), QColor(150, 158, 168));
    // Name plate under the gauge's corner.
    EngravedText(p, QRectF(136, 82, 110, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VelocoreIII"),
                 LabelFont(15, true), QColor(196, 204, 214));
    EngravedText(p, QRectF(137, 100, 110, 12), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("BUS CLOCK CONTROL"), LabelFont(8, true), QColor(140, 148, 158));

    // Bus display with its label and decimal point.
    const auto& bus = Display(Layout::Advance, vc::ui::DisplayValue::BusClock);
    DisplayWindow(p, QRect(52, 160, 92, 44));
    DisplayCells(p, bus, 0);
    EngravedText(p, QRectF(50, 146, 96, 13), Qt::AlignCenter, QStringLiteral("SYSTEM BUS MHz"),
                 LabelFont(10, true, true));
    // PCI and memory displays.
    DisplayWindow(p, QRect(176, 146, 46, 26));
    DisplayCells(p, Display(Layout::Advance, vc::ui::DisplayValue::PciClock), 0);
    EngravedText(p, QRectF(160, 133, 78, 12), Qt::AlignCenter, QStringLiteral("PCI Clock MHz"),
                 LabelFont(10, true));
    DisplayWindow(p, QRect(176, 182, 46, 26));
    DisplayCells(p, Display(Layout::Advance, vc::ui::DisplayValue::MemClock), 0);
    EngravedText(p, QRectF(160, 171, 78, 11), Qt::AlignCenter, QStringLiteral("DRAM MHz"),
                 LabelFont(10, true));
    // POWER beside its lamp.
    EngravedText(p, QRectF(457, 131, 60, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("POWER"),
                 LabelFont(11, true));
    Screw(p, QPointF(12, 203));
    Screw(p, QPointF(512, 203));
    p.end();
    return image;
}

QImage PlainEasy(const Polygon& outline) {
    QImage image = Blank(kWidth, kEasyHeight, palette::kMetal);
    FillBrushedMetal(image, palette::kMetal, 3141, 5);
    const Mask cover = CoverMask(outline, kWidth, kEasyHeight, kEasyTop);
    BevelInside(image, cover, 3, 0.45, 0.6);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.translate(0, -kEasyTop);  // draw in window coordinates
    // Progress strip slot: twelve dark cells where the strip frames run.
    DisplayWindow(p, QRect(50, 138, 77, 16));
    for (int x = 53; x < 125; x += 6) {
        p.fillRect(QRect(x, 141, 5, 10), QColor(26, 24, 10));
        p.fillRect(QRect(x + 1, 142, 3, 8), QColor(40, 36, 12));
    }
    const auto& cpu = Display(Layout::Easy, vc::ui::DisplayValue::MeasuredCpuClock);
    DisplayWindow(p, QRect(14, 156, 110, 43));
    DisplayCells(p, cpu, 0);
    EngravedText(p, QRectF(128, 176, 42, 20), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("MHz"),
                 LabelFont(13, true));
    // Name plate in the middle of the strip.
    EngravedText(p, QRectF(200, 136, 200, 22), Qt::AlignCenter, QStringLiteral("VelocoreIII"),
                 LabelFont(18, true), QColor(196, 204, 214));
    EngravedText(p, QRectF(200, 158, 200, 12), Qt::AlignCenter, QStringLiteral("BUS CLOCK CONTROL"),
                 LabelFont(8, true), QColor(140, 148, 158));
    EngravedText(p, QRectF(454, 130, 62, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("POWER"),
                 LabelFont(11, true));
    Screw(p, QPointF(9, 207));
    Screw(p, QPointF(516, 207));
    p.end();
    return image;
}

// Where a face picture is first used: its button's rectangle and layout.
struct Placement {
    Layout layout;
    QRect rect;
};

std::map<int, Placement> FirstPlacements() {
    std::map<int, Placement> out;
    for (const auto& b : vc::ui::MainButtons()) {
        for (int number : {b.pictureNormal, b.picturePressed, b.pictureOn, b.pictureOnPressed}) {
            if (number != 0 && !out.count(number)) {
                out[number] = {b.layout, QRect(b.x, b.y, b.width, b.height)};
            }
        }
    }
    return out;
}

void CheckSize(int number, const QImage& image) {
    const auto* desc = vc::ui::FindPicture(number);
    if (desc == nullptr || desc->width != image.width() || desc->height != image.height()) {
        throw std::logic_error("picture " + std::to_string(number) + " has the wrong size");
    }
}

}  // namespace

void DrawMainFaces(Skin& skin) {
    const QImage advanceDark = PlainAdvance(skin.advanceOutline, false);
    const QImage advanceLit = PlainAdvance(skin.advanceOutline, true);
    const QImage easy = PlainEasy(skin.easyOutline);

    for (const auto& lamp : vc::ui::LampRects()) {
        const QRect r(lamp.x, lamp.y, lamp.width, lamp.height);
        skin.pictures[lamp.onPicture] = advanceLit.copy(r);
        skin.pictures[lamp.offPicture] = advanceDark.copy(r);
    }

    for (const auto& [number, place] : FirstPlacements()) {
        const QImage base = place.layout == Layout::Easy
                                ? easy.copy(place.rect.translated(0, -kEasyTop))
                                : advanceDark.copy(place.rect);
        skin.pictures[number] = DrawButtonFace(number, base);
        CheckSize(number, skin.pictures[number]);
    }

    // The backgrounds carry the buttons' resting faces, so the layout
    // transitions, which run with every button hidden, show a whole face.
    QImage advance = advanceDark;
    QImage easyFinal = easy;
    {
        QPainter pa(&advance);
        QPainter pe(&easyFinal);
        for (const auto& b : vc::ui::MainButtons()) {
            if (b.fineTuneOnly) continue;
            const QImage& face = skin.pictures.at(b.pictureNormal);
            if (b.layout == Layout::Easy) pe.drawImage(QPoint(b.x, b.y - kEasyTop), face);
            else pa.drawImage(QPoint(b.x, b.y), face);
        }
    }
    CutToMask(advance, CoverMask(skin.advanceOutline, kWidth, kAdvanceHeight, 0));
    CutToMask(easyFinal, CoverMask(skin.easyOutline, kWidth, kEasyHeight, kEasyTop));
    skin.pictures[vc::ui::kPictureAdvanceBackground] = advance;
    skin.pictures[vc::ui::kPictureEasyBackground] = easyFinal;
}

}  // namespace skin
