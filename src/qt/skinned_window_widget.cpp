#include "qt/skinned_window_widget.h"

#include <utility>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "qt/mouse_input.h"
#include "qt/skin_button_widget.h"
#include "qt/surface_image.h"

namespace vc::qt {

SkinnedWindowWidget::SkinnedWindowWidget(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

SkinnedWindowWidget::~SkinnedWindowWidget() = default;

void SkinnedWindowWidget::ReplaceScreen(ui::Surface screen) {
    screen_ = std::move(screen);
    display_ = ToImage(screen_);
}

void SkinnedWindowWidget::Present(const ui::Rect& area) {
    CopyArea(display_, screen_, area);
    ++presentCount_;
    // A synchronous repaint flushes to the screen without running the event
    // loop, so each frame of a busy-wait animation is seen as it is drawn.
    if (isVisible()) repaint(ToQRect(area));
}

void SkinnedWindowWidget::Invalidate(const ui::Rect& area, bool) {
    const ui::Rect clipped = ui::Intersect(area, screen_.Bounds());
    if (clipped.IsEmpty()) return;
    pending_ += ToQRect(clipped);
    if (paintQueued_) return;
    paintQueued_ = true;
    QMetaObject::invokeMethod(this, [this] { PaintPendingAreas(); }, Qt::QueuedConnection);
}

void SkinnedWindowWidget::PaintPendingAreas() {
    paintQueued_ = false;
    if (pending_.isEmpty()) return;
    const QRegion areas = std::exchange(pending_, QRegion());
    PaintScreen();
    for (const QRect& r : areas) CopyArea(display_, screen_, ui::RectAt(r.x(), r.y(), r.width(), r.height()));
    update(areas);
    OnAreasPainted(areas);
}

void SkinnedWindowWidget::PaintScreen() {
    if (ui::SkinnedWindowEvents* events = Events()) events->OnPaint();
}

void SkinnedWindowWidget::OnAreasPainted(const QRegion&) {}

ui::ChildHandle SkinnedWindowWidget::CreateChildButton(const ui::ChildButtonSpec& desc) {
    // The model is looked up at each request: it may come and go while the
    // button lives.
    auto* button = new SkinButtonWidget(
        this, desc,
        [this](const ui::DrawItemRequest& request) {
            ui::SkinnedWindowEvents* events = Events();
            return events ? events->OnDrawItem(request) : 0;
        },
        [this](uint32_t commandValue) {
            if (ui::SkinnedWindowEvents* events = Events()) events->OnCommand(commandValue);
        });
    button->raise();
    button->show();
    children_.push_back(button);
    return static_cast<ui::ChildHandle>(children_.size());
}

ui::ScreenSize SkinnedWindowWidget::PrimaryScreenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    return ui::ScreenSize{screen->geometry().width(), screen->geometry().height()};
}

void SkinnedWindowWidget::CaptureMouse() {
    captured_ = true;
    if (isVisible()) grabMouse();
}

void SkinnedWindowWidget::ReleaseMouse() {
    if (captured_ && isVisible()) releaseMouse();
    captured_ = false;
}

void SkinnedWindowWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (const QRect& r : event->region()) painter.drawImage(r, display_, r);
}

void SkinnedWindowWidget::showEvent(QShowEvent* event) {
    // The native window exists from the first showing on; installing again
    // replaces the filter.
    if (QWindow* window = windowHandle()) window->installEventFilter(this);
    QWidget::showEvent(event);
}

bool SkinnedWindowWidget::eventFilter(QObject* watched, QEvent* event) {
    // The window system's own request for pixels. Qt would put the stored
    // display back; we invalidate, so the model paints the area afresh.
    if (event->type() == QEvent::Paint && watched == windowHandle()) {
        for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
            Invalidate(ui::RectAt(r.x(), r.y(), r.width(), r.height()), true);
    }
    return QWidget::eventFilter(watched, event);
}

void SkinnedWindowWidget::mousePressEvent(QMouseEvent* event) {
    ui::SkinnedWindowEvents* events = Events();
    if (event->button() != Qt::LeftButton || !events) return;
    const ClientPoint at = ClientPosition(*event, geometry());
    events->OnLeftButtonDown(at.x, at.y);
}

void SkinnedWindowWidget::mouseMoveEvent(QMouseEvent* event) {
    ui::SkinnedWindowEvents* events = Events();
    if (!events) return;
    const ClientPoint at = ClientPosition(*event, geometry());
    events->OnMouseMove(MouseKeyFlags(*event), at.x, at.y);
}

void SkinnedWindowWidget::mouseReleaseEvent(QMouseEvent* event) {
    ui::SkinnedWindowEvents* events = Events();
    if (event->button() != Qt::LeftButton || !events) return;
    events->OnLeftButtonUp();
}

}  // namespace vc::qt
