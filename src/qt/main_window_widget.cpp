#include "qt/main_window_widget.h"

#include <algorithm>
#include <utility>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QTimer>

#include "core/ui/main/main_window_places.h"
#include "core/ui/main/popup_menu.h"
#include "qt/panel_widget.h"
#include "qt/skin_button_widget.h"
#include "qt/surface_image.h"

namespace vc::qt {

namespace {

// Tray activations as the mouse messages the model knows.
uint32_t TrayMouseMessage(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::DoubleClick: return ui::kTrayLeftDoubleClick;
        case QSystemTrayIcon::Context: return ui::kTrayRightButtonDown;
        case QSystemTrayIcon::Trigger: return ui::kTrayLeftButtonUp;
        default: return ui::kTrayMouseMove;
    }
}

}  // namespace

MainWindowWidget::MainWindowWidget(QIcon trayIcon)
    : SkinnedWindowWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), trayIconPicture_(std::move(trayIcon)) {
    ReplaceScreen(ui::Surface(ui::kMainWidth, ui::kMainHeight));
    setFixedSize(ui::kMainWidth, ui::kMainHeight);
    setWindowTitle(QStringLiteral("Clock Frequency"));
    setAttribute(Qt::WA_NoSystemBackground);
}

MainWindowWidget::~MainWindowWidget() = default;

void MainWindowWidget::OnAreasPainted(const QRegion& areas) {
    // The children inside the areas draw their faces again too: on X11 a
    // parent's update does not always reach its opaque children.
    for (SkinButtonWidget* button : ChildButtons())
        if (button->isVisible() && areas.intersects(button->geometry())) button->update();
}

void MainWindowWidget::ShowChild(ui::ChildHandle child, bool show) {
    if (child == ui::kNoChild || child > ChildButtons().size()) return;
    ChildButtons()[child - 1]->setVisible(show);
}

SkinButtonWidget* MainWindowWidget::ChildButton(int32_t id) const {
    for (SkinButtonWidget* button : ChildButtons())
        if (button->Id() == id) return button;
    return nullptr;
}

void MainWindowWidget::ShowMainWindow(bool show) { setVisible(show); }

bool MainWindowWidget::IsMainWindowVisible() const { return isVisible(); }

ui::Rect MainWindowWidget::MainWindowScreenRect() const {
    const QRect g = geometry();
    return ui::RectAt(g.x(), g.y(), g.width(), g.height());
}

void MainWindowWidget::PlaceMainWindow(const ui::Rect& screenRect) {
    setGeometry(ToQRect(screenRect));
    show();
    raise();
}

void MainWindowWidget::MoveMainWindow(const ui::Rect& screenRect) {
    setGeometry(ToQRect(screenRect));
    // X11 moves the pixels along without asking for them; the face is
    // painted again all the same.
    Invalidate(ui::kWindowRect, true);
}

void MainWindowWidget::CloseMainWindow() {
    closed_ = true;
    for (PanelWidget* panel : panels_) panel->hide();
    hide();
    QCoreApplication::exit(0);
}

void MainWindowWidget::SetOutline(std::span<const ui::OutlineVertex> polygon) {
    setMask(OutlineRegion(polygon, ui::kMainWidth, ui::kMainHeight));
}

void MainWindowWidget::RepaintScreen() {
    // Other programs' windows are the display server's to repaint; ours are
    // painted again here.
    Invalidate(ui::kWindowRect, true);
    for (PanelWidget* panel : panels_) panel->update();
}

void MainWindowWidget::LoadPopupMenu() {
    if (menu_) return;
    menu_ = new QMenu(this);
    menu_->setTitle(QString::fromLatin1(ui::kPopupMenuTitle));
    for (const ui::PopupMenuItem& item : ui::kPopupMenuItems) {
        if (item.id == 0) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(QString::fromLatin1(item.text));
        action->setData(item.id);
        action->setEnabled(item.enabled);
        menuItems_[item.id] = action;
    }
}

QAction* MainWindowWidget::MenuItem(int32_t commandId) const {
    const auto found = menuItems_.find(commandId);
    return found == menuItems_.end() ? nullptr : found->second;
}

void MainWindowWidget::SetMenuItemEnabled(int32_t commandId, bool enabled) {
    if (QAction* action = MenuItem(commandId)) action->setEnabled(enabled);
}

void MainWindowWidget::AddTrayIcon(uint32_t iconId, const std::string& tip) {
    if (!tray_) tray_ = new QSystemTrayIcon(this);
    tray_->setIcon(trayIconPicture_);
    tray_->setToolTip(QString::fromStdString(tip));
    QObject::disconnect(tray_, &QSystemTrayIcon::activated, nullptr, nullptr);
    QObject::connect(tray_, &QSystemTrayIcon::activated, this,
                     [this, iconId](QSystemTrayIcon::ActivationReason reason) {
                         if (events_) events_->OnTrayNotify(iconId, TrayMouseMessage(reason));
                     });
    // Shown even while no tray is there: the icon appears once one starts.
    tray_->show();
}

bool MainWindowWidget::TrayIconReachable() const {
    return tray_ && tray_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void MainWindowWidget::OnShowRequest() {
    if (TrayIconReachable() || closed_ || !events_) return;
    events_->OnCommand(CommandValue(kNotifyClicked, ui::kMenuShow));
    raise();
    activateWindow();
}

void MainWindowWidget::RemoveTrayIcon(uint32_t) {
    if (tray_) tray_->hide();
}

void MainWindowWidget::OpenPopupMenuAtPointer() {
    if (!menu_) return;
    const QAction* chosen = menu_->exec(QCursor::pos());
    // The choice is a command of its own, handled after the menu has gone.
    if (chosen && chosen->isEnabled()) SendCommandLater(CommandValue(kNotifyClicked, chosen->data().toInt()));
}

void MainWindowWidget::SendCommandLater(uint32_t commandValue) {
    // Queued on this widget: dropped if the widget is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, commandValue] {
            if (events_) events_->OnCommand(commandValue);
        },
        Qt::QueuedConnection);
}

void MainWindowWidget::StartTimer(int32_t timerId, int32_t periodMs) {
    if (timerId < 1) return;
    QTimer*& timer = timers_[timerId];
    if (!timer) {
        timer = new QTimer(this);
        QObject::connect(timer, &QTimer::timeout, this, [this, timerId] {
            if (events_) events_->OnTimer(timerId);
        });
    }
    timer->start(std::max(1, periodMs));
}

void MainWindowWidget::StopTimer(int32_t timerId) {
    const auto found = timers_.find(timerId);
    if (found != timers_.end()) found->second->stop();
}

ui::PanelHandle MainWindowWidget::CreatePanel(const ui::PanelSpec& desc) {
    auto* panel = new PanelWidget(this, desc);
    panel->SetTimerDivisor(panelTimerDivisor_);
    panels_.push_back(panel);
    // The model initialises the window before the handle is handed out.
    if (panelModels_) panel->SetModel(panelModels_->Make(desc.templateId, *panel));
    return static_cast<ui::PanelHandle>(panels_.size());
}

void MainWindowWidget::DropPanelModels() {
    for (PanelWidget* panel : panels_) panel->DropModel();
}

void MainWindowWidget::SetPanelTimerDivisor(int divisor) {
    panelTimerDivisor_ = divisor;
    for (PanelWidget* panel : panels_) panel->SetTimerDivisor(divisor);
}

void MainWindowWidget::ShowPanel(ui::PanelHandle panel, bool show) {
    if (panel == ui::kNoPanel || panel > panels_.size()) return;
    panels_[panel - 1]->Show(show);
}

void MainWindowWidget::SetPanelText(ui::PanelHandle panel, int32_t fieldId, const std::string& text) {
    if (panel == ui::kNoPanel || panel > panels_.size()) return;
    panels_[panel - 1]->SetControlText(fieldId, text);
}

PanelWidget* MainWindowWidget::Panel(int32_t templateId) const {
    for (PanelWidget* panel : panels_)
        if (panel->TemplateId() == templateId) return panel;
    return nullptr;
}

void MainWindowWidget::paintEvent(QPaintEvent* event) {
    SkinnedWindowWidget::paintEvent(event);
    if (onFirstPaint_) {
        // Once: the frame reaches the display when this paint is flushed,
        // so the call waits for the event loop.
        QMetaObject::invokeMethod(this, std::exchange(onFirstPaint_, {}), Qt::QueuedConnection);
    }
}

void MainWindowWidget::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closed_) return;
    if (events_) events_->OnEnding();
    RemoveTrayIcon(ui::kTrayIconId);
    CloseMainWindow();
}

void MainWindowWidget::mousePressEvent(QMouseEvent* event) {
    // Without a tray the face itself offers the tray's menu on a right press.
    if (events_ && event->button() == Qt::RightButton && !TrayIconReachable()) {
        events_->OnTrayNotify(ui::kTrayIconId, ui::kTrayRightButtonDown);
        return;
    }
    SkinnedWindowWidget::mousePressEvent(event);
}

}  // namespace vc::qt
