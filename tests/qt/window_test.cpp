// The main window as the window system shows it: size, place, outline,
// what reaches the display and when, dragging.
#include <QBackingStore>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "core/state/auto_apply_file.h"
#include "core/state/pending_startup_file.h"
#include "core/ui/main/main_window_places.h"
#include "core/ui/outlines.h"
#include "qt/orderly_end.h"
#include "qt/skin_button_widget.h"
#include "qt/surface_image.h"
#include "sim_window.h"
#include "test_classes.h"

namespace vc::qt::test {

namespace {

constexpr int32_t kAdvancedMode = 311;
constexpr int32_t kEasyMode = 315;
constexpr int32_t kGo = 303;

// Checks, at every presented frame, that the window's pixels in the window
// system hold exactly what was drawn into the screen surface there.
class FrameCheckingWidget : public MainWindowWidget {
public:
    void Present(const ui::Rect& area) override {
        MainWindowWidget::Present(area);
        ++frames;
        // What the window system holds for the window right now, without
        // the event loop having run.
        const auto* held = dynamic_cast<const QImage*>(backingStore()->paintDevice());
        if (!held) {
            ++framesDiffering;
            return;
        }
        const QImage shown = held->convertToFormat(QImage::Format_RGB32);
        // Only the window's visible part is ever painted.
        const QRegion visible = mask().isEmpty() ? QRegion(rect()) : mask();
        for (int32_t y = area.top; y < area.bottom; ++y)
            for (int32_t x = area.left; x < area.right; ++x)
                if (visible.contains(QPoint(x, y)) && (shown.pixel(x, y) & 0xFFFFFFu) != Screen().At(x, y)) {
                    ++framesDiffering;
                    return;
                }
    }
    int frames = 0;
    int framesDiffering = 0;
};

void SendMouse(QWidget& target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
    const QPoint global = target.geometry().topLeft() + local;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

}  // namespace

class WindowTests : public QObject {
    Q_OBJECT

private slots:
    void windowIsFramelessFixedAndCentred() {
        SimWindow w;
        QVERIFY(w.Create());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(w.widget().geometry(),
                 QRect((screen.width() - 526) / 2, (screen.height() - 216) / 2, 526, 216));
        QVERIFY(w.widget().windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(w.widget().isVisible());
    }

    void maskFollowsTheLayoutOutline() {
        SimWindow w;
        QVERIFY(w.Create());
        const QRegion easy = OutlineRegion(ui::EasyOutline(), 526, 216);
        QCOMPARE(w.widget().mask(), easy);
        // The Easy strip: rows 110 to 215, the low left shoulder is outside.
        QCOMPARE(easy.boundingRect().top(), 110);
        QVERIFY(!easy.contains(QPoint(5, 120)));
        QVERIFY(easy.contains(QPoint(200, 200)));

        w.Click(kAdvancedMode);
        const QRegion advance = OutlineRegion(ui::AdvanceOutline(), 526, 216);
        QCOMPARE(w.widget().mask(), advance);
        QVERIFY(advance.contains(QPoint(200, 10)));
        // The outline's excursion to x 528 is clipped to the window.
        QVERIFY(advance.boundingRect().right() <= 525);

        w.Click(kEasyMode);
        QCOMPARE(w.widget().mask(), easy);
    }

    void everyTransitionFrameReachesTheDisplayAsDrawn() {
        SimWindow w;
        auto owned = std::make_unique<FrameCheckingWidget>();
        FrameCheckingWidget& widget = *owned;
        QVERIFY(w.Create(std::move(owned)));
        widget.frames = 0;
        w.Click(kAdvancedMode);
        // The Easy face, eight rising frames, the final opaque copy.
        QVERIFY2(widget.frames >= 10, qPrintable(QString::number(widget.frames)));
        QCOMPARE(widget.framesDiffering, 0);

        widget.frames = 0;
        w.Click(kGo);
        // Two sweeps of dark gauges and lamps lit one by one.
        QVERIFY2(widget.frames >= 2 * (6 + 21), qPrintable(QString::number(widget.frames)));
        QCOMPARE(widget.framesDiffering, 0);
    }

    void lampsStayLitAfterGoUntilRepainted() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kAdvancedMode);
        w.Click(kGo);
        const QImage shown = w.Shown();
        for (const ui::LampPlace& lamp : ui::kLampPlaces) {
            const ui::Surface* on = w.pictures().Get(lamp.onPicture);
            QVERIFY(on);
            for (int y = 0; y < on->Height(); ++y)
                for (int x = 0; x < on->Width(); ++x)
                    QCOMPARE(shown.pixel(lamp.x + x, lamp.y + y) & 0xFFFFFFu, on->At(x, y));
        }
    }

    // Painting comes from the model, so an area the window system asks for
    // again shows the gauge dark, whatever GO left lit elsewhere.
    void exposedGaugeIsPaintedWithoutItsLamps() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kAdvancedMode);
        const QImage unlit = w.Shown();
        w.Click(kGo);
        const QImage lit = w.Shown();
        // The five upper lamps of the gauge, and the lowest one below them.
        const QRect gauge(91, 21, 268, 60), lowest(91, 83, 44, 30);
        QVERIFY(lit.copy(gauge) != unlit.copy(gauge) && lit.copy(lowest) != unlit.copy(lowest));

        // Another window uncovers the gauge only.
        QPaintEvent uncovered{QRegion(gauge)};
        QCoreApplication::sendEvent(w.widget().windowHandle(), &uncovered);
        SimWindow::Settle();
        QCOMPARE(w.Shown().copy(gauge), unlit.copy(gauge));
        QCOMPARE(w.Shown().copy(lowest), lit.copy(lowest));

        w.widget().hide();
        w.widget().show();
        SimWindow::Settle();
        QCOMPARE(w.Shown(), unlit);
    }

    void heldButtonShowsItsPressedFaceAndReleasesBeforeItsCommand() {
        SimWindow w;
        QVERIFY(w.Create());
        SkinButtonWidget* button = w.widget().ChildButton(kAdvancedMode);
        QVERIFY(button);
        const ui::ButtonPlace* place = nullptr;
        for (const ui::ButtonPlace& p : ui::MainButtons())
            if (p.id == kAdvancedMode) place = &p;
        QVERIFY(place);
        const ui::Surface* pressed = w.pictures().Get(place->picturePressed);
        QVERIFY(pressed);
        QTest::mousePress(button, Qt::LeftButton);
        QVERIFY(button->IsHeldDown());
        const QImage face = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(face, ToImage(*pressed));
        // Leaving the button while held shows it up; releasing there sends nothing.
        SendMouse(*button, QEvent::MouseMove, QPoint(-5, -5), Qt::LeftButton);
        QVERIFY(!button->IsHeldDown());
        SendMouse(*button, QEvent::MouseButtonRelease, QPoint(-5, -5), Qt::NoButton);
        SimWindow::Settle();
        QCOMPARE(w.model().layoutMode(), 1);
    }

    void dragMovesTheWindowByThePointerTravel_data() {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("moveTo");
        QTest::newRow("right and down") << QPoint(200, 125) << QPoint(230, 145);
        // Under capture the pointer may leave the window above and left.
        QTest::newRow("above and left") << QPoint(200, 125) << QPoint(-40, -30);
    }
    void dragMovesTheWindowByThePointerTravel() {
        QFETCH(QPoint, press);
        QFETCH(QPoint, moveTo);
        SimWindow w;
        QVERIFY(w.Create());
        const QPoint before = w.widget().geometry().topLeft();
        SendMouse(w.widget(), QEvent::MouseButtonPress, press, Qt::LeftButton);
        QVERIFY(w.widget().IsMouseCaptured());
        SendMouse(w.widget(), QEvent::MouseMove, moveTo, Qt::LeftButton);
        QCOMPARE(w.widget().geometry().topLeft(), before + (moveTo - press));
        QCOMPARE(w.widget().size(), QSize(526, 216));
        // The point under the pointer stays fixed to the window.
        SendMouse(w.widget(), QEvent::MouseMove, press, Qt::LeftButton);
        QCOMPARE(w.widget().geometry().topLeft(), before + (moveTo - press));
        SendMouse(w.widget(), QEvent::MouseButtonRelease, press, Qt::NoButton);
        QVERIFY(!w.widget().IsMouseCaptured());
        // Moves without the button do not drag.
        SendMouse(w.widget(), QEvent::MouseMove, press + QPoint(50, 50), Qt::NoButton);
        QCOMPARE(w.widget().geometry().topLeft(), before + (moveTo - press));
    }

    // The start-up application's minute runs on a window timer; restarted
    // short here, its tick reaches the model, which removes pending.dat.
    void startupTimerTickRemovesThePendingRecord() {
        QTemporaryDir dir;
        const std::string where = dir.path().toStdString();
        QCOMPARE(WriteAutoApplySettings(where, AutoApplySettings{kAutoApplyYes, kAutoApplySourceOptimal}), 1);
        SimWindow w;
        w.StartIn(where);
        QVERIFY(w.Create());
        QVERIFY(ReadPendingStartup(where).present);
        w.widget().StartTimer(ui::kTimerStartupSettled, 10);
        QTRY_VERIFY(!ReadPendingStartup(where).present);
    }

    // Closed from outside within the minute (the window manager's close,
    // Alt+F4): an orderly end, so the record goes and the program ends
    // without a tray icon left behind.
    void closingTheWindowRemovesThePendingRecord() {
        QTemporaryDir dir;
        const std::string where = dir.path().toStdString();
        QCOMPARE(WriteAutoApplySettings(where, AutoApplySettings{kAutoApplyYes, kAutoApplySourceOptimal}), 1);
        SimWindow w;
        w.StartIn(where);
        QVERIFY(w.Create());
        QVERIFY(ReadPendingStartup(where).present);
        // Closed inside the event loop, which the close then ends with 0.
        QTimer::singleShot(0, &w.widget(), [&w] { w.widget().close(); });
        QCOMPARE(QGuiApplication::exec(), 0);
        QVERIFY(!ReadPendingStartup(where).present);
        QVERIFY(w.widget().IsClosed());
        QVERIFY(!w.widget().isVisible());
        QVERIFY(!w.widget().TrayIcon()->isVisible());
    }

    // The application quitting (as it does when the session manager ends
    // the session) is an orderly end too.
    void quittingTheApplicationRemovesThePendingRecord() {
        QTemporaryDir dir;
        const std::string where = dir.path().toStdString();
        QCOMPARE(WriteAutoApplySettings(where, AutoApplySettings{kAutoApplyYes, kAutoApplySourceOptimal}), 1);
        SimWindow w;
        w.StartIn(where);
        QVERIFY(w.Create());
        OrderlyEnd ending([&w] { w.model().OnEnding(); });
        QVERIFY(ReadPendingStartup(where).present);
        QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
        QCOMPARE(QGuiApplication::exec(), 0);
        QVERIFY(!ReadPendingStartup(where).present);
    }
};

QObject* MakeWindowTests() { return new WindowTests; }

}  // namespace vc::qt::test

#include "window_test.moc"
