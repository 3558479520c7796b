#include "qt/panel_widget.h"

#include <algorithm>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include "core/ui/panels/panel_templates.h"
#include "qt/panel_controls.h"
#include "qt/skin_button_widget.h"
#include "qt/surface_image.h"

namespace vc::qt {

namespace {

// Where the model leaves the surface unpainted the dialog background shows.
ui::Pixel DialogBackground(const QWidget& widget) {
    return widget.palette().color(QPalette::Window).rgb() & 0x00FFFFFFu;
}

// One pixel around the inside of `r`.
void DrawEdge(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

PanelWidget::PanelWidget(QWidget* owner, const ui::PanelSpec& desc)
    : SkinnedWindowWidget(owner, Qt::Tool | Qt::FramelessWindowHint), templateId_(desc.templateId) {
    const ui::PanelLook* look = ui::FindPanelLook(desc.templateId);
    if (look) setWindowTitle(QString::fromUtf8(look->title));
    // X11 window managers are never asked by Qt for a border without a
    // title bar (they draw all of it or nothing), so the window stays
    // frameless and the modal-dialog frame is drawn here.
    modalFrame_ = look && look->frame == ui::PanelFrame::ModalDialog;
    if (!desc.size.IsEmpty()) Resize(desc.size.Width(), desc.size.Height());
    hide();
}

PanelWidget::~PanelWidget() = default;

void PanelWidget::SetModel(std::unique_ptr<ui::PanelEvents> model) {
    model_ = std::move(model);
    if (model_) model_->OnInit();
}

void PanelWidget::DropModel() {
    for (auto& [id, timer] : timers_) timer->stop();
    model_.reset();
}

void PanelWidget::Resize(int width, int height) {
    if (width == Screen().Width() && height == Screen().Height()) return;
    ReplaceScreen(ui::Surface(width, height, DialogBackground(*this)));
    setFixedSize(width, height);
}

void PanelWidget::PaintScreen() {
    Screen().Fill(Screen().Bounds(), DialogBackground(*this));
    SkinnedWindowWidget::PaintScreen();
}

void PanelWidget::paintEvent(QPaintEvent* event) {
    SkinnedWindowWidget::paintEvent(event);
    if (!modalFrame_) return;
    // The classic raised dialog edge: face colour then highlight above and
    // left, shadow then dark below and right; the dialog background inside
    // completes the frame.
    QPainter painter(this);
    const QPalette& colours = palette();
    DrawEdge(painter, rect(), colours.color(QPalette::Window), colours.color(QPalette::Shadow));
    DrawEdge(painter, rect().adjusted(1, 1, -1, -1), colours.color(QPalette::Light), colours.color(QPalette::Dark));
}

void PanelWidget::CreateControl(const ui::ControlSpec& desc) {
    QWidget* control = MakePanelControl(this, desc, [this](int32_t id) { SendCommand(id); });
    // Controls without an id are never addressed; they only need to exist.
    if (desc.id != 0) controls_[desc.id] = control;
}

void PanelWidget::SendCommand(int32_t id) {
    if (model_) model_->OnCommand(CommandValue(kNotifyClicked, id));
}

QWidget* PanelWidget::Control(int32_t controlId) const {
    const auto found = controls_.find(controlId);
    return found == controls_.end() ? nullptr : found->second;
}

void PanelWidget::SetControlText(int32_t controlId, const std::string& text) {
    if (QWidget* control = Control(controlId)) SetPanelControlText(*control, QString::fromStdString(text));
}

std::string PanelWidget::FieldText(int32_t fieldId) const {
    const QWidget* control = Control(fieldId);
    return control ? PanelControlText(*control).toStdString() : std::string();
}

void PanelWidget::SetControlChecked(int32_t controlId, bool checked) {
    if (QWidget* control = Control(controlId)) SetPanelControlChecked(*control, checked);
}

void PanelWidget::SetControlEnabled(int32_t controlId, bool enabled) {
    if (QWidget* control = Control(controlId)) control->setEnabled(enabled);
}

ui::Rect PanelWidget::ScreenRect() const {
    const QRect g = geometry();
    return ui::RectAt(g.x(), g.y(), g.width(), g.height());
}

void PanelWidget::PlaceHidden(const ui::Rect& screenRect) {
    Resize(screenRect.Width(), screenRect.Height());
    setGeometry(ToQRect(screenRect));
    hide();
    Invalidate(Screen().Bounds(), true);
}

void PanelWidget::MoveTo(const ui::Rect& screenRect) {
    Resize(screenRect.Width(), screenRect.Height());
    setGeometry(ToQRect(screenRect));
    update();
}

void PanelWidget::PlaceOnTop(const ui::Rect& screenRect) {
    Resize(screenRect.Width(), screenRect.Height());
    setGeometry(ToQRect(screenRect));
    raise();
}

void PanelWidget::Show(bool visible) {
    if (visible == isVisible()) return;
    if (!visible) {
        if (IsMouseCaptured()) ReleaseMouse();
        hide();
        return;
    }
    if (model_) model_->OnShown();
    // The frame is painted before the window first appears.
    Invalidate(Screen().Bounds(), true);
    PaintPendingAreas();
    show();
    raise();
    activateWindow();
}

void PanelWidget::StartTimer(int32_t timerId, int32_t periodMs) {
    if (timerId < 1) return;
    QTimer*& timer = timers_[timerId];
    if (!timer) {
        timer = new QTimer(this);
        QObject::connect(timer, &QTimer::timeout, this, [this, timerId] {
            if (model_) model_->OnTimer(timerId);
        });
    }
    timer->start(std::max(1, periodMs / timerDivisor_));
}

void PanelWidget::StopTimer(int32_t timerId) {
    const auto found = timers_.find(timerId);
    if (found != timers_.end()) found->second->stop();
}

bool PanelWidget::IsTimerRunning(int32_t timerId) const {
    const auto found = timers_.find(timerId);
    return found != timers_.end() && found->second->isActive();
}

void PanelWidget::keyPressEvent(QKeyEvent* event) {
    // The dialog manager's keys: Enter is OK (1), Esc is Cancel (2).
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: SendCommand(1); return;
        case Qt::Key_Escape: SendCommand(2); return;
        default: QWidget::keyPressEvent(event);
    }
}

void PanelWidget::closeEvent(QCloseEvent* event) {
    // Asked to close by the window system: the panel decides (it hides).
    event->ignore();
    SendCommand(2);
}

}  // namespace vc::qt
