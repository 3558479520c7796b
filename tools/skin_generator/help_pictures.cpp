// The two help pictures: the layout's face with a line from every control to
// a short explanation, and the composed layouts the previews show.
#include <QLinearGradient>
#include <QPainter>
#include <vector>

#include "core/ui/main/main_window_layout.h"
#include "paint_kit.h"
#include "skin.h"

namespace skin {

namespace {

using vc::ui::Layout;

QImage Keyed(const QImage& picture) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == 0xFEFEFE) line[x] = 0;
        }
    }
    return out;
}

double ExampleValue(vc::ui::DisplayValue value) {
    switch (value) {
        case vc::ui::DisplayValue::MeasuredCpuClock: return 1402.6;
        case vc::ui::DisplayValue::BusClock: return 133.6;
        case vc::ui::DisplayValue::PciClock: return 33.4;
        case vc::ui::DisplayValue::MemClock: return 133.6;
        case vc::ui::DisplayValue::SelectedCpuClock: return 1403.0;
    }
    return 0;
}

// A control and what the help picture says about it. Anchor in the main
// window's coordinates; label box in the help picture's.
struct Note {
    QPoint anchor;
    QRect label;
    int align;
    const char* text;
};

void DrawNotes(QImage& image, QPoint faceOrigin, const std::vector<Note>& notes) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont font = LabelFont(11, false);
    const QColor ink(255, 214, 60);
    for (const Note& note : notes) {
        const QPointF anchor = QPointF(note.anchor + faceOrigin) + QPointF(0.5, 0.5);
        // The line meets the label at the nearest point of its edge.
        const QRectF box(note.label);
        const QPointF end(std::clamp(anchor.x(), box.left(), box.right()),
                          std::clamp(anchor.y(), box.top(), box.bottom()));
        p.setPen(QPen(QColor(0, 0, 0, 150), 3));
        p.drawLine(anchor, end);
        p.setPen(QPen(ink, 1));
        p.drawLine(anchor, end);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(anchor, 2.5, 2.5);
        p.setFont(font);
        p.setPen(QColor(236, 240, 245));
        p.drawText(note.label, note.align | Qt::TextWordWrap, QString::fromLatin1(note.text));
    }
}

QImage HelpBase(int width, int height, const char* title) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, height);
    fill.setColorAt(0, QColor(30, 34, 40));
    fill.setColorAt(1, QColor(16, 18, 21));
    p.fillRect(image.rect(), fill);
    p.setPen(QColor(60, 66, 74));
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    EngravedText(p, QRectF(10, 4, 300, 20), Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(title),
                 LabelFont(13, true), QColor(255, 206, 26));
    return image;
}

}  // namespace

QImage ComposeLayout(const Skin& skin, int layout, const QColor& desktop) {
    QImage image(vc::ui::kMainWidth, vc::ui::kMainHeight, QImage::Format_RGB32);
    image.fill(desktop);
    QPainter p(&image);
    const Layout wanted = layout == 1 ? Layout::Easy : Layout::Advance;
    if (wanted == Layout::Easy) {
        p.drawImage(QPoint(0, vc::ui::kEasyTop), Keyed(skin.pictures.at(vc::ui::kPictureEasyBackground)));
    } else {
        p.drawImage(QPoint(0, 0), Keyed(skin.pictures.at(vc::ui::kPictureAdvanceBackground)));
    }
    for (const auto& b : vc::ui::MainButtons()) {
        if (b.layout == wanted) p.drawImage(QPoint(b.x, b.y), skin.pictures.at(b.pictureNormal));
    }
    for (const auto& d : vc::ui::MainDisplays()) {
        if (d.layout != wanted) continue;
        DrawNumber(p, skin.pictures.at(d.picture), d.x, d.y, d.cells, d.showTenths, d.spacing,
                   ExampleValue(d.value));
    }
    return image;
}

void DrawHelpPictures(Skin& skin) {
    constexpr int kLeftCentre = Qt::AlignLeft | Qt::AlignVCenter;
    constexpr int kRightCentre = Qt::AlignRight | Qt::AlignVCenter;
    constexpr int kCentre = Qt::AlignHCenter | Qt::AlignVCenter;

    {   // Advance: face at (95, 66).
        const QPoint origin(95, 66);
        QImage image = HelpBase(716, 363, "Advance Mode");
        {
            QPainter p(&image);
            p.drawImage(origin, Keyed(ComposeLayout(skin, 2, kKey)));
        }
        const std::vector<Note> notes{
            {{307, 78}, {330, 30, 140, 16}, kLeftCentre, "CPU speed display"},
            {{198, 147}, {120, 30, 180, 16}, kRightCentre, "PCI bus frequency display"},
            {{259, 147}, {480, 14, 230, 16}, kLeftCentre, "restore your system to power-on default"},
            {{39, 119}, {4, 150, 84, 30}, kRightCentre, "more advanced setting"},
            {{30, 167}, {4, 196, 84, 30}, kRightCentre, "fine tune 1 MHz per step"},
            {{52, 193}, {4, 244, 84, 30}, kRightCentre, "system bus frequency display"},
            {{156, 199}, {20, 296, 150, 16}, kLeftCentre, "system bus tuner"},
            {{198, 208}, {150, 314, 180, 16}, kLeftCentre, "DRAM frequency display"},
            {{257, 204}, {210, 332, 260, 16}, kLeftCentre, "change your system to the current setting"},
            {{317, 148}, {480, 32, 230, 16}, kLeftCentre, "recall last setting"},
            {{374, 148}, {480, 50, 230, 16}, kLeftCentre, "save the current setting after you feel the system is stable enough"},
            {{346, 199}, {380, 296, 200, 16}, kLeftCentre, "switch to easy mode"},
            {{440, 151}, {624, 216, 90, 16}, kLeftCentre, "power off"},
            {{507, 168}, {624, 236, 90, 30}, kLeftCentre, "CPU info (real-time status)"},
            {{507, 194}, {624, 270, 90, 16}, kLeftCentre, "on-screen help"},
        };
        DrawNotes(image, origin, notes);
        skin.pictures[171] = image;
    }
    {   // Easy: the strip (window rows 110 to 215) at rows 44 to 149.
        const QPoint origin(95, 44 - vc::ui::kEasyTop);
        QImage image = HelpBase(716, 282, "Easy Mode");
        {
            QPainter p(&image);
            const QImage face = Keyed(ComposeLayout(skin, 1, kKey));
            p.drawImage(QPoint(origin.x(), origin.y() + vc::ui::kEasyTop), face,
                        QRect(0, vc::ui::kEasyTop, vc::ui::kMainWidth, vc::ui::kMainHeight - vc::ui::kEasyTop));
        }
        const std::vector<Note> notes{
            {{32, 121}, {10, 18, 200, 16}, kLeftCentre, "more advanced setting"},
            {{437, 126}, {440, 18, 200, 16}, kLeftCentre, "power off"},
            {{504, 167}, {624, 84, 90, 30}, kLeftCentre, "CPU info (real-time status)"},
            {{504, 193}, {624, 120, 90, 16}, kLeftCentre, "on-screen help"},
            {{69, 199}, {40, 180, 200, 16}, kLeftCentre, "CPU speed display"},
            {{229, 203}, {200, 206, 260, 16}, kCentre, "auto-overclock to optimized status"},
            {{347, 203}, {400, 180, 220, 16}, kLeftCentre, "switch to advanced mode"},
        };
        DrawNotes(image, origin, notes);
        skin.pictures[195] = image;
    }
}

}  // namespace skin
