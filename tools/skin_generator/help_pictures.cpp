// The two help pictures: the layout's face with a line from every control to
// a short explanation, and the composed layouts the previews show.
#include <QLinearGradient>
#include <QPainter>
#include <vector>

#include "core/ui/main/main_window_places.h"
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

// A control and what the help picture says about it: the line starts at the
// control and runs through `via` (main window coordinates), then straight to
// the label's row and along it to the label (help picture coordinates).
struct Note {
    std::vector<QPoint> via;
    QRect label;
    int align;
    const char* text;
};

void DrawNotes(QImage& image, QPoint faceOrigin, const std::vector<Note>& notes) {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont font = LabelFont(11, false);
    const QColor ink(255, 206, 26);
    for (const Note& note : notes) {
        QPolygon line;
        for (const QPoint& point : note.via) line << point + faceOrigin;
        const QPoint last = line.last();
        const int rowY = note.label.center().y();
        const int edgeX = note.label.left() > last.x() ? note.label.left() - 3 : note.label.right() + 3;
        if (last.y() != rowY && (last.y() < note.label.top() || last.y() > note.label.bottom())) {
            line << QPoint(last.x(), rowY);
        }
        line << QPoint(edgeX, line.last().y());
        p.setPen(QPen(QColor(0, 0, 0, 160), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPolyline(line);
        p.setPen(QPen(ink, 1));
        p.drawPolyline(line);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRect(QRect(line.first() - QPoint(1, 1), QSize(3, 3)));
        p.setFont(font);
        p.setPen(QColor(236, 240, 245));
        // Three wrapped lines are taller than their box; unclipped, they
        // spread evenly around the leader's row and keep their descenders.
        p.drawText(note.label, note.align | Qt::TextWordWrap | Qt::TextDontClip, QString::fromLatin1(note.text));
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

    {   // Advance: the face at the top, explanations beside and below it.
        const QPoint origin(95, 28);
        QImage image = HelpBase(716, 363, "Advance Mode");
        {
            QPainter p(&image);
            p.drawImage(origin, Keyed(ComposeLayout(skin, 2, kKey)));
        }
        const int row = 18, band = 250;
        const std::vector<Note> notes{
            // Beside the face.
            {{{27, 131}}, {4, 141, 84, 36}, kRightCentre, "more advanced setting"},
            {{{18, 167}}, {4, 177, 84, 36}, kRightCentre, "fine tune 1 MHz per step"},
            {{{364, 88}}, {624, 97, 90, 36}, kLeftCentre, "CPU speed display"},
            {{{440, 127}, {440, 117}}, {624, 137, 90, 16}, kLeftCentre, "power off"},
            {{{507, 168}}, {624, 178, 90, 36}, kLeftCentre, "CPU info (real-time status)"},
            {{{507, 194}}, {624, 214, 90, 16}, kLeftCentre, "on-screen help"},
            // Below it, labels to the left of their lines...
            {{{97, 204}}, {4, band, 180, 16}, kRightCentre, "system bus frequency display"},
            {{{156, 199}}, {40, band + row, 203, 16}, kRightCentre, "system bus tuner"},
            // Down the gap between the arrows and "DRAM MHz", clear of the D.
            {{{176, 159}, {166, 159}}, {40, band + 2 * row, 213, 16}, kRightCentre, "PCI bus frequency display"},
            {{{198, 207}}, {40, band + 3 * row, 245, 16}, kRightCentre, "DRAM frequency display"},
            // Down between "DRAM MHz" and GO, clear of the z.
            {{{233, 158}, {231, 158}}, {4, band + 4 * row, 314, 16}, kRightCentre,
             "restore your system to power-on default"},
            // ...and to the right of theirs.
            {{{400, 159}, {414, 159}}, {514, band, 198, 34}, kLeftCentre,
             "save the current setting after you feel the system is stable enough"},
            {{{346, 199}}, {446, band + 2 * row, 200, 16}, kLeftCentre, "switch to easy mode"},
            {{{292, 170}, {285, 170}}, {385, band + 3 * row, 200, 16}, kLeftCentre, "recall last setting"},
            {{{257, 204}}, {357, band + 4 * row, 300, 16}, kLeftCentre, "change your system to the current setting"},
        };
        DrawNotes(image, origin, notes);
        skin.pictures[171] = image;
    }
    {   // Easy: the strip (window rows 110 to 215) at rows 30 to 135.
        const QPoint origin(95, 30 - vc::ui::kEasyTop);
        QImage image = HelpBase(716, 282, "Easy Mode");
        {
            QPainter p(&image);
            const QImage face = Keyed(ComposeLayout(skin, 1, kKey));
            p.drawImage(QPoint(origin.x(), origin.y() + vc::ui::kEasyTop), face,
                        QRect(0, vc::ui::kEasyTop, vc::ui::kMainWidth, vc::ui::kMainHeight - vc::ui::kEasyTop));
        }
        const std::vector<Note> notes{
            {{{20, 133}}, {4, 35, 84, 36}, kRightCentre, "more advanced setting"},
            {{{437, 126}, {437, 117}}, {624, 29, 90, 16}, kLeftCentre, "power off"},
            {{{504, 167}}, {624, 69, 90, 36}, kLeftCentre, "CPU info (real-time status)"},
            {{{504, 193}}, {624, 105, 90, 16}, kLeftCentre, "on-screen help"},
            {{{69, 199}}, {4, 156, 155, 16}, kRightCentre, "CPU speed display"},
            {{{347, 203}}, {448, 156, 220, 16}, kLeftCentre, "switch to advanced mode"},
            {{{229, 203}}, {330, 180, 260, 16}, kLeftCentre, "auto-overclock to optimized status"},
        };
        DrawNotes(image, origin, notes);
        skin.pictures[195] = image;
    }
}

}  // namespace skin
