// The way back to a hidden window: the tray menu's states, the show request
// a refused copy sends when no tray is there, and the menu on the face.
// The offscreen platform has no tray, so these run the no-tray path; the
// real tray is checked under Xvfb by the display check.
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLocalSocket>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "host/process/instance_counter.h"
#include "qt/show_request.h"
#include "qt/panel_widget.h"
#include "sim_window.h"
#include "test_classes.h"

namespace vc::qt::test {

namespace {

constexpr int32_t kPowerEasy = 321;

struct MenuState {
    bool easy, advance, show, hide, exit;
};

MenuState StateOf(MainWindowWidget& w) {
    return {w.MenuItem(ui::kMenuEasyMode)->isEnabled(), w.MenuItem(ui::kMenuAdvanceMode)->isEnabled(),
            w.MenuItem(ui::kMenuShow)->isEnabled(), w.MenuItem(ui::kMenuHide)->isEnabled(),
            w.MenuItem(ui::kMenuExit)->isEnabled()};
}

void CheckState(MainWindowWidget& w, MenuState expected) {
    const MenuState s = StateOf(w);
    QCOMPARE(s.easy, expected.easy);
    QCOMPARE(s.advance, expected.advance);
    QCOMPARE(s.show, expected.show);
    QCOMPARE(s.hide, expected.hide);
    QCOMPARE(s.exit, expected.exit);
}

// Sends raw bytes to a listener and lets the event loop take them.
void SendRaw(const QString& path, const QByteArray& bytes) {
    QLocalSocket socket;
    socket.connectToServer(path);
    QVERIFY(socket.waitForConnected(1000));
    socket.write(bytes);
    socket.flush();
    socket.disconnectFromServer();
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
}

}  // namespace

class TrayTests : public QObject {
    Q_OBJECT

private slots:
    void menuIsRightMenuWithSixItemsInOrder() {
        SimWindow w;
        QVERIFY(w.Create());
        QMenu* menu = w.widget().PopupMenu();
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("RightMenu"));
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 6);
        const char* texts[] = {"Easy Mode", "Advance Mode", "", "Show", "Hide", "Exit"};
        const int ids[] = {ui::kMenuEasyMode, ui::kMenuAdvanceMode, 0, ui::kMenuShow, ui::kMenuHide, ui::kMenuExit};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(items[i]->isSeparator(), ids[i] == 0);
            if (ids[i] == 0) continue;
            QCOMPARE(items[i]->text(), QString::fromLatin1(texts[i]));
            QCOMPARE(items[i]->data().toInt(), ids[i]);
        }
        // Easy layout, visible.
        CheckState(w.widget(), {false, true, false, true, true});
        QVERIFY(w.widget().TrayIconReachable() == QSystemTrayIcon::isSystemTrayAvailable());
        QCOMPARE(w.widget().TrayIconReachable() ? w.widget().TrayIcon()->toolTip() : QStringLiteral("VelocoreIII"),
                 QStringLiteral("VelocoreIII"));
    }

    void menuStatesFollowLayoutAndVisibility() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(311);  // Advanced Mode
        CheckState(w.widget(), {true, false, false, true, true});
        w.model().OnCommand(ui::kMenuHide);
        SimWindow::Settle();
        QVERIFY(!w.widget().isVisible());
        CheckState(w.widget(), {true, false, true, false, true});
        // A double click while visible and while hidden ends in the same states.
        for (int i = 0; i < 2; ++i) {
            w.model().OnTrayNotify(ui::kTrayIconId, ui::kTrayLeftDoubleClick);
            QVERIFY(w.widget().isVisible());
            CheckState(w.widget(), {true, false, false, true, true});
        }
        QCOMPARE(w.model().layoutMode(), 2);
    }

    void hidingTheWindowLeavesOpenPanelsOpen() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(324);  // options
        w.Click(kPowerEasy);
        QVERIFY(!w.widget().isVisible());
        QVERIFY(w.widget().Panel(ui::kPanelOptions)->isVisible());
        w.model().OnTrayNotify(ui::kTrayIconId, ui::kTrayLeftDoubleClick);
        QVERIFY(w.widget().isVisible());
        QVERIFY(w.widget().Panel(ui::kPanelOptions)->isVisible());
    }

    void exitRemovesTheIconBeforeTheWindowCloses() {
        SimWindow w;
        QVERIFY(w.Create());
        bool iconGoneAtClose = false;
        QSystemTrayIcon* tray = w.widget().TrayIcon();
        QVERIFY(tray && tray->isVisible());
        // The window hides as it closes; the icon must be gone by then.
        struct Watch : QObject {
            QSystemTrayIcon* tray;
            bool* gone;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Hide) *gone = !tray->isVisible();
                return false;
            }
        } watch;
        watch.tray = tray;
        watch.gone = &iconGoneAtClose;
        w.widget().installEventFilter(&watch);
        // Chosen inside the event loop, which the close then ends with 0.
        QTimer::singleShot(0, &w.widget(), [&w] { w.model().OnCommand(ui::kMenuExit); });
        QCOMPARE(QApplication::exec(), 0);
        w.widget().removeEventFilter(&watch);
        QVERIFY(w.widget().IsClosed());
        QVERIFY(iconGoneAtClose);
    }

    void rightPressOnTheFaceOpensTheMenuWithoutATray() {
        if (QSystemTrayIcon::isSystemTrayAvailable()) QSKIP("a tray is available here");
        SimWindow w;
        QVERIFY(w.Create());
        QMenu* menu = w.widget().PopupMenu();
        bool menuWasOpen = false;
        QPoint menuAt;
        QTimer::singleShot(0, menu, [&] {
            menuWasOpen = menu->isVisible();
            menuAt = menu->pos();
            menu->setActiveAction(w.widget().MenuItem(ui::kMenuHide));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        const QPoint local(240, 150);
        QCursor::setPos(w.widget().mapToGlobal(local));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), QPointF(w.widget().mapToGlobal(local)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w.widget(), &press);
        QVERIFY(menuWasOpen);
        QCOMPARE(menuAt, QCursor::pos());
        SimWindow::Settle();
        // "Hide" came back as the model's command: hidden, states swapped.
        QVERIFY(!w.widget().isVisible());
        CheckState(w.widget(), {false, true, true, false, true});
    }

    void listenerTakesOnlyTheShowLine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("shows");
        QTest::newRow("show") << QByteArray("show\n") << 1;
        QTest::newRow("no line end") << QByteArray("show") << 0;
        QTest::newRow("other word") << QByteArray("exit\n") << 0;
        QTest::newRow("show twice in one") << QByteArray("show\nshow\n") << 0;
        QTest::newRow("long") << QByteArray(4096, 's') << 0;
        QTest::newRow("empty") << QByteArray() << 0;
    }
    void listenerTakesOnlyTheShowLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, shows);
        QTemporaryDir dir;
        const QString path = ShowRequestPath(dir.path().toStdString());
        int count = 0;
        ShowRequestListener listener(path, [&count] { ++count; });
        QVERIFY(listener.IsListening());
        SendRaw(path, bytes);
        QCOMPARE(count, shows);
    }

    void requestReachesAListenerAndFailsWithoutOne() {
        QTemporaryDir dir;
        const QString path = ShowRequestPath(dir.path().toStdString());
        QVERIFY(!SendShowRequest(path, 200));
        int count = 0;
        {
            ShowRequestListener listener(path, [&count] { ++count; });
            QVERIFY(SendShowRequest(path, 1000));
            QTRY_COMPARE(count, 1);
        }
        QVERIFY(!SendShowRequest(path, 200));
        // A socket file left behind by a copy that died is taken over.
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        ShowRequestListener again(path, [&count] { ++count; });
        QVERIFY(again.IsListening());
        QVERIFY(SendShowRequest(path, 1000));
        QTRY_COMPARE(count, 2);
    }

    void secondStartShowsTheHiddenWindowWithoutATray() {
        if (QSystemTrayIcon::isSystemTrayAvailable()) QSKIP("a tray is available here");
        QTemporaryDir runtime;
        SimWindow w;
        QVERIFY(w.Create());
        MainWindowWidget* widget = &w.widget();
        ShowRequestListener listener(ShowRequestPath(runtime.path().toStdString()),
                                     [widget] { widget->OnShowRequest(); });
        w.Click(kPowerEasy);
        QVERIFY(!widget->isVisible());
        CheckState(*widget, {false, true, true, false, true});
        const std::vector<Message> hint{
            {"Message", "no system tray: start the program again to show a hidden window; "
                        "a right click on the window opens its menu"}};
        QCOMPARE(w.messages(), hint);

        // This window is the running copy as far as the counter knows.
        host::InstanceCounter running(runtime.path().toStdString(),
                                      "velocore3-instance-" + std::to_string(::getuid()));
        QCOMPARE(running.Increment(), 0);
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("XDG_CONFIG_HOME", runtime.path());
        second.setProcessEnvironment(env);
        second.start(VC_VELOCORE_SIM_PATH, {});
        QTRY_VERIFY_WITH_TIMEOUT(widget->isVisible(), 30000);
        // The event loop above may already have seen it end.
        if (second.state() != QProcess::NotRunning) QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitCode(), 1);
        const QByteArray out = second.readAllStandardOutput() + second.readAllStandardError();
        QVERIFY2(out.isEmpty(), out.constData());
        // Shown as the menu's "Show" shows it.
        CheckState(*widget, {false, true, false, true, true});
        QCOMPARE(running.Decrement(), 0);
        // Said once only.
        w.Click(kPowerEasy);
        QVERIFY(!widget->isVisible());
        QCOMPARE(w.messages(), hint);
    }
};

QObject* MakeTrayTests() { return new TrayTests; }

}  // namespace vc::qt::test

#include "tray_test.moc"
