#include "qt/text_painter.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include "qt/surface_image.h"

namespace vc::qt {

void QtTextPainter::DrawText(ui::Surface& target, int32_t x, int32_t y, const std::string& text) {
    if (target.IsEmpty() || text.empty()) return;
    QImage image = ToImage(target);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        // (x, y) is the top-left corner of the text, as the window system places it.
        const QFontMetrics metrics(painter.font());
        painter.drawText(x, y + metrics.ascent(), QString::fromStdString(text));
    }
    for (int32_t row = 0; row < target.Height(); ++row)
        for (int32_t col = 0; col < target.Width(); ++col)
            target.Set(col, row, image.pixel(col, row) & 0x00FFFFFFu);
}

}  // namespace vc::qt
