#include "button_faces.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>

#include "paint_kit.h"

namespace skin {

namespace {

enum class Kind { Lozenge, Plate, Go, TriangleUp, TriangleDown, PowerLamp, Tab, Circle, OvalLamp, Words };

struct FaceDef {
    int number;
    Kind kind;
    bool pressed;  // pressed, or lit for lamps
    const char* text;
    QRgb hue;
};

constexpr QRgb kBlue = 0x2F6FD8, kRed = 0xC8322B, kGreen = 0x2FA84A, kOrange = 0xE0651C;

// clang-format off
const std::array<FaceDef, 33> kFaces{{
    {143, Kind::Lozenge, false, "Auto Optimize", kBlue},   {141, Kind::Lozenge, true, "Auto Optimize", kBlue},
    {148, Kind::Lozenge, false, "Default Setting", kGreen},{146, Kind::Lozenge, true, "Default Setting", kGreen},
    {144, Kind::Lozenge, false, "Advanced Mode", kRed},    {142, Kind::Lozenge, true, "Advanced Mode", kRed},
    {151, Kind::Lozenge, false, "Easy Mode", kRed},        {150, Kind::Lozenge, true, "Easy Mode", kRed},
    {120, Kind::Plate, false, "Load", 0},                  {114, Kind::Plate, true, "Load", 0},
    {117, Kind::Plate, false, "Save", 0},                  {118, Kind::Plate, true, "Save", 0},
    {149, Kind::Plate, false, "Default", 0},               {147, Kind::Plate, true, "Default", 0},
    {112, Kind::Go, false, "GO", kOrange},                 {111, Kind::Go, true, "GO", kOrange},
    {119, Kind::TriangleUp, false, "", 0},                 {113, Kind::TriangleUp, true, "", 0},
    {107, Kind::TriangleDown, false, "", 0},               {108, Kind::TriangleDown, true, "", 0},
    {115, Kind::PowerLamp, false, "", kGreen},             {116, Kind::PowerLamp, true, "", kGreen},
    {140, Kind::Tab, false, "CPU info", 0},                {138, Kind::Tab, true, "CPU info", 0},
    {139, Kind::Tab, false, "Help", 0},                    {137, Kind::Tab, true, "Help", 0},
    {169, Kind::Circle, false, "", kRed},                  {167, Kind::Circle, false, "", kRed},
    {168, Kind::Circle, true, "", kBlue},
    {163, Kind::OvalLamp, false, "", 0},                   {164, Kind::OvalLamp, true, "", 0},
    {165, Kind::Words, false, "Fine\nTune", 0},            {153, Kind::Words, true, "Fine\nTune", 0},
}};
// clang-format on

QColor Shade(const QColor& c, double factor) {
    auto f = [factor](int v) { return std::clamp(static_cast<int>(v * factor), 0, 253); };
    return QColor(f(c.red()), f(c.green()), f(c.blue()));
}

QColor Tint(const QColor& c, double towardWhite) {
    auto f = [towardWhite](int v) { return static_cast<int>(v + (240 - v) * towardWhite); };
    return QColor(f(c.red()), f(c.green()), f(c.blue()));
}

void Lozenge(QPainter& p, const QRectF& r, const FaceDef& face) {
    const QColor hue(face.hue);
    const QRectF body = r.adjusted(1, 1, -1, -1);
    const double radius = body.height() / 2;
    // Dark socket ring, then the glossy body.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(10, 11, 13));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius + 0.5, radius + 0.5);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    if (face.pressed) {
        fill.setColorAt(0, Shade(hue, 0.45));
        fill.setColorAt(1, Shade(hue, 0.80));
    } else {
        fill.setColorAt(0, Tint(hue, 0.35));
        fill.setColorAt(0.5, hue);
        fill.setColorAt(1, Shade(hue, 0.55));
    }
    p.setBrush(fill);
    p.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    if (!face.pressed) {
        QLinearGradient gloss(body.topLeft(), QPointF(body.left(), body.center().y()));
        gloss.setColorAt(0, QColor(255, 255, 255, 110));
        gloss.setColorAt(1, QColor(255, 255, 255, 10));
        p.setBrush(gloss);
        p.drawRoundedRect(QRectF(body.left() + 4, body.top() + 1.5, body.width() - 8, body.height() / 2 - 1),
                          radius / 2, radius / 2);
    }
    const QRectF textBox = r.translated(face.pressed ? 1 : 0, face.pressed ? 1 : 0);
    EngravedText(p, textBox, Qt::AlignCenter, QString::fromLatin1(face.text), LabelFont(11, true),
                 face.pressed ? QColor(225, 230, 236) : QColor(250, 250, 250));
}

void Plate(QPainter& p, const QRectF& r, const FaceDef& face) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 9, 11));
    p.drawRoundedRect(r, 4, 4);
    const QRectF body = r.adjusted(1, 1, -1, -1);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    if (face.pressed) {
        fill.setColorAt(0, QColor(28, 31, 36));
        fill.setColorAt(1, QColor(52, 57, 64));
    } else {
        fill.setColorAt(0, QColor(112, 120, 131));
        fill.setColorAt(0.45, QColor(74, 80, 89));
        fill.setColorAt(1, QColor(42, 46, 52));
    }
    p.setBrush(fill);
    p.drawRoundedRect(body, 3, 3);
    if (!face.pressed) {
        p.setPen(QPen(QColor(160, 168, 178, 150), 1));
        p.drawLine(QPointF(body.left() + 3, body.top() + 0.5), QPointF(body.right() - 3, body.top() + 0.5));
    }
    const QRectF textBox = r.translated(face.pressed ? 1 : 0, face.pressed ? 1 : 0);
    EngravedText(p, textBox, Qt::AlignCenter, QString::fromLatin1(face.text), LabelFont(11, true),
                 face.pressed ? palette::kDigitLit : QColor(236, 239, 243));
}

void Go(QPainter& p, const QRectF& r, const FaceDef& face) {
    const QColor hue(face.hue);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 9, 11));
    p.drawRoundedRect(r, 8, 8);
    const QRectF body = r.adjusted(1.5, 1.5, -1.5, -1.5);
    QRadialGradient fill(QPointF(body.center().x(), body.top() + body.height() * 0.3), body.width() * 0.75);
    if (face.pressed) {
        fill.setColorAt(0, Shade(hue, 0.75));
        fill.setColorAt(1, Shade(hue, 0.35));
    } else {
        fill.setColorAt(0, Tint(hue, 0.45));
        fill.setColorAt(0.6, hue);
        fill.setColorAt(1, Shade(hue, 0.5));
    }
    p.setBrush(fill);
    p.drawRoundedRect(body, 7, 7);
    if (!face.pressed) {
        QLinearGradient gloss(body.topLeft(), QPointF(body.left(), body.center().y()));
        gloss.setColorAt(0, QColor(255, 255, 255, 120));
        gloss.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(gloss);
        p.drawRoundedRect(QRectF(body.left() + 3, body.top() + 1, body.width() - 6, body.height() / 2), 6, 6);
    }
    const QRectF textBox = r.translated(face.pressed ? 1 : 0, face.pressed ? 1 : 0);
    EngravedText(p, textBox, Qt::AlignCenter, QStringLiteral("GO"), LabelFont(17, true),
                 face.pressed ? QColor(255, 226, 150) : QColor(255, 255, 255));
}

void Triangle(QPainter& p, const QRectF& r, const FaceDef& face, bool up) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 9, 11));
    p.drawRoundedRect(r, 3, 3);
    QLinearGradient socket(r.topLeft(), r.bottomLeft());
    socket.setColorAt(0, face.pressed ? QColor(22, 24, 28) : QColor(84, 91, 100));
    socket.setColorAt(1, face.pressed ? QColor(40, 44, 50) : QColor(36, 40, 45));
    p.setBrush(socket);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 2, 2);
    const double o = face.pressed ? 1 : 0;
    const double cx = r.center().x() + o, top = r.top() + 4.5 + o, bottom = r.bottom() - 4.5 + o;
    const QPolygonF arrow = up ? QPolygonF({QPointF(cx, top), QPointF(r.right() - 3.5 + o, bottom),
                                            QPointF(r.left() + 3.5 + o, bottom)})
                               : QPolygonF({QPointF(cx, bottom), QPointF(r.left() + 3.5 + o, top),
                                            QPointF(r.right() - 3.5 + o, top)});
    p.setBrush(face.pressed ? palette::kDigitLit : QColor(226, 230, 236));
    p.drawPolygon(arrow);
}

void PowerLamp(QPainter& p, const QRectF& r, const FaceDef& face) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 9, 11));
    p.drawRoundedRect(r, 3, 3);
    p.setBrush(QColor(48, 53, 60));
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 2, 2);
    const QRectF lamp = r.adjusted(4, 4, -4, -4).translated(face.pressed ? 0.5 : 0, face.pressed ? 0.5 : 0);
    QRadialGradient glow(lamp.center() - QPointF(2, 2), lamp.width() * 0.8);
    const QColor green(face.hue);
    if (face.pressed) {
        glow.setColorAt(0, Shade(green, 0.7));
        glow.setColorAt(1, Shade(green, 0.3));
    } else {
        glow.setColorAt(0, QColor(190, 255, 190));
        glow.setColorAt(0.45, QColor(70, 220, 90));
        glow.setColorAt(1, Shade(green, 0.55));
    }
    p.setBrush(glow);
    p.drawRoundedRect(lamp, 2, 2);
    p.setBrush(QColor(255, 255, 255, face.pressed ? 25 : 90));
    p.drawRoundedRect(QRectF(lamp.left() + 2, lamp.top() + 1.5, lamp.width() - 4, lamp.height() * 0.35), 1.5, 1.5);
}

void Tab(QPainter& p, const QRectF& r, const FaceDef& face) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 9, 11));
    p.drawRoundedRect(r, 4, 4);
    const QRectF body = r.adjusted(1, 1, -1, -1);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    if (face.pressed) {
        fill.setColorAt(0, QColor(20, 22, 26));
        fill.setColorAt(1, QColor(44, 48, 54));
    } else {
        fill.setColorAt(0, QColor(96, 104, 114));
        fill.setColorAt(1, QColor(44, 48, 54));
    }
    p.setBrush(fill);
    p.drawRoundedRect(body, 3, 3);
    // A small indicator at the left: dark when off, amber when on.
    const QRectF led(body.left() + 5, body.center().y() - 2.5, 5, 5);
    p.setBrush(face.pressed ? palette::kDigitLit : QColor(30, 27, 12));
    p.drawEllipse(led);
    const QRectF textBox = body.adjusted(12, face.pressed ? 1 : 0, 0, face.pressed ? 1 : 0);
    EngravedText(p, textBox, Qt::AlignCenter, QString::fromLatin1(face.text), LabelFont(11, true),
                 face.pressed ? palette::kDigitLit : QColor(232, 236, 240));
}

void Circle(QPainter& p, const QRectF& r, const FaceDef& face) {
    const QColor hue(face.hue);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 9, 11));
    p.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
    const QRectF ball = r.adjusted(2.5, 2.5, -2.5, -2.5);
    QRadialGradient fill(ball.center() - QPointF(3, 3), ball.width() * 0.75);
    fill.setColorAt(0, Tint(hue, 0.55));
    fill.setColorAt(0.5, hue);
    fill.setColorAt(1, Shade(hue, 0.45));
    p.setBrush(fill);
    p.drawEllipse(ball);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawEllipse(QRectF(ball.left() + 4, ball.top() + 2.5, ball.width() - 9, ball.height() * 0.32));
}

void OvalLamp(QPainter& p, const QRectF& r, const FaceDef& face) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 9, 11));
    p.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
    const QRectF lamp = r.adjusted(2.5, 2.5, -2.5, -2.5);
    QRadialGradient fill(lamp.center() - QPointF(3, 2), lamp.width() * 0.7);
    if (face.pressed) {
        fill.setColorAt(0, QColor(255, 250, 200));
        fill.setColorAt(0.4, QColor(255, 214, 40));
        fill.setColorAt(1, QColor(170, 120, 0));
    } else {
        fill.setColorAt(0, QColor(96, 86, 40));
        fill.setColorAt(1, QColor(42, 36, 12));
    }
    p.setBrush(fill);
    p.drawEllipse(lamp);
    p.setBrush(QColor(255, 255, 255, face.pressed ? 120 : 40));
    p.drawEllipse(QRectF(lamp.left() + 5, lamp.top() + 1.5, lamp.width() - 10, lamp.height() * 0.33));
}

void Words(QPainter& p, const QRectF& r, const FaceDef& face) {
    const QRectF box = r.translated(face.pressed ? 1 : 0, face.pressed ? 1 : 0);
    EngravedText(p, box, Qt::AlignCenter, QString::fromLatin1(face.text), LabelFont(9, true, true),
                 face.pressed ? palette::kDigitLit : palette::kLabel);
}

}  // namespace

QImage DrawButtonFace(int number, const QImage& base) {
    for (const FaceDef& face : kFaces) {
        if (face.number != number) continue;
        QImage image = base.convertToFormat(QImage::Format_RGB32);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        const QRectF r(0, 0, image.width(), image.height());
        switch (face.kind) {
            case Kind::Lozenge: Lozenge(p, r, face); break;
            case Kind::Plate: Plate(p, r, face); break;
            case Kind::Go: Go(p, r, face); break;
            case Kind::TriangleUp: Triangle(p, r, face, true); break;
            case Kind::TriangleDown: Triangle(p, r, face, false); break;
            case Kind::PowerLamp: PowerLamp(p, r, face); break;
            case Kind::Tab: Tab(p, r, face); break;
            case Kind::Circle: Circle(p, r, face); break;
            case Kind::OvalLamp: OvalLamp(p, r, face); break;
            case Kind::Words: Words(p, r, face); break;
        }
        return image;
    }
    return {};
}

}  // namespace skin
