#include "qt/skin_button_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "qt/surface_image.h"
#include "qt/text_painter.h"

namespace vc::qt {

SkinButtonWidget::SkinButtonWidget(QWidget* parent, const ui::ChildButtonSpec& desc, DrawFunction draw,
                                   CommandFunction command)
    : QWidget(parent), id_(desc.id), draw_(std::move(draw)), command_(std::move(command)) {
    setGeometry(desc.bounds.left, desc.bounds.top, desc.bounds.Width(), desc.bounds.Height());
    if (!desc.region.IsEmpty()) setMask(ToQRegion(desc.region));
    // Every pixel comes from the face; nothing of the parent shows through.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SkinButtonWidget::paintEvent(QPaintEvent*) {
    ui::Surface face(width(), height());
    QtTextPainter text;
    ui::DrawItemRequest request;
    request.controlId = id_;
    request.itemState = IsHeldDown() ? ui::kItemStateSelected : 0;
    request.surface = &face;
    request.itemRect = ui::Rect{0, 0, width(), height()};
    request.text = &text;
    if (!draw_ || !draw_(request)) return;
    QPainter painter(this);
    painter.drawImage(0, 0, ToImage(face));
}

void SkinButtonWidget::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    held_ = true;
    pointerInside_ = true;
    repaint();
}

void SkinButtonWidget::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!held_) return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside == pointerInside_) return;
    pointerInside_ = inside;
    repaint();
}

void SkinButtonWidget::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !held_) return;
    const bool clicked = pointerInside_;
    held_ = false;
    pointerInside_ = false;
    // The released face is on screen before the command runs, which may
    // block for seconds.
    repaint();
    if (clicked && command_) command_(CommandValue(kNotifyClicked, id_));
}

void SkinButtonWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    if (command_) command_(CommandValue(kNotifyDoubleClicked, id_));
}

}  // namespace vc::qt
