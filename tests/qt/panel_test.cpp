// The panels on the simulated default machine as a user meets them: frames
// and controls where the templates put them, the closing rules per layout,
// dragging, the options and their save.dat across a restart, the processor
// information panel, and the progress popup's run of Auto Optimize.
#include <algorithm>
#include <cstdio>
#include <utility>

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "core/board/clock_table.h"
#include "core/board/frequency_stepping.h"
#include "core/state/auto_apply_file.h"
#include "core/ui/panels/panel_templates.h"
#include "core/ui/panels/progress_popup.h"
#include "qt/panel_widget.h"
#include "qt/skin_button_widget.h"
#include "sim_window.h"
#include "test_classes.h"

namespace vc::qt::test {

namespace {

constexpr int32_t kAutoOptimize = 312, kAdvancedMode = 311, kEasyMode = 315;
constexpr int32_t kHelpEasy = 319, kCpuInfoEasy = 320, kOptionsEasy = 324;
constexpr int32_t kHelpAdvance = 316, kOptionsAdvance = 322;
// The popup's timers run this many times faster in most tests.
constexpr int kFast = 10;

std::string Fixed2(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%4.2f", value);
    return buffer;
}

QCheckBox* Check(PanelWidget& p, int32_t id) { return qobject_cast<QCheckBox*>(p.Control(id)); }
QRadioButton* Radio(PanelWidget& p, int32_t id) { return qobject_cast<QRadioButton*>(p.Control(id)); }

void ClickControl(PanelWidget& p, int32_t id) {
    QWidget* control = p.Control(id);
    if (!control) qFatal("no control %d", id);
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2));
    SimWindow::Settle();
}

// A mouse event on `panel` at a screen point, as capture delivers it.
void SendMouse(PanelWidget& panel, QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(global - panel.geometry().topLeft()), QPointF(global), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &event);
}

// -1 (no bus clock at all) when there is no such entry, so comparisons fail.
double BusOf(const ClockEntry* entry) { return entry ? entry->busMHz : -1.0; }
double OptimalBus(SystemInfo& info) { return BusOf(EntryAt(info, FindOptimalEntry(info).value_or(0))); }
double DefaultBus(SystemInfo& info) { return BusOf(EntryAt(info, info.defaultIndex)); }

struct OptionMarks {
    bool yes, no, saved, optimal, radiosEnabled;
};

void CheckMarks(PanelWidget& p, OptionMarks m) {
    QCOMPARE(Check(p, ui::kOptionYes)->isChecked(), m.yes);
    QCOMPARE(Check(p, ui::kOptionNo)->isChecked(), m.no);
    QCOMPARE(Radio(p, ui::kOptionUseSaved)->isChecked(), m.saved);
    QCOMPARE(Radio(p, ui::kOptionUseOptimal)->isChecked(), m.optimal);
    QCOMPARE(Radio(p, ui::kOptionUseSaved)->isEnabled(), m.radiosEnabled);
    QCOMPARE(Radio(p, ui::kOptionUseOptimal)->isEnabled(), m.radiosEnabled);
}

}  // namespace

class PanelTests : public QObject {
    Q_OBJECT

private slots:
    void panelsAreCentredHiddenAtTheirSizes_data() {
        QTest::addColumn<int>("templateId");
        QTest::addColumn<QSize>("size");
        QTest::newRow("Easy help") << 145 << QSize(729, 307);
        QTest::newRow("Advance help") << 148 << QSize(729, 388);
        QTest::newRow("options") << 146 << QSize(214, 144);
        QTest::newRow("processor information") << 147 << QSize(400, 200);
    }
    void panelsAreCentredHiddenAtTheirSizes() {
        QFETCH(int, templateId);
        QFETCH(QSize, size);
        SimWindow w;
        QVERIFY(w.Create());
        PanelWidget* panel = w.widget().Panel(templateId);
        QVERIFY(panel);
        QVERIFY(!panel->isVisible());
        QVERIFY(panel->windowFlags() & Qt::FramelessWindowHint);
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(panel->geometry(), QRect(QPoint((screen.width() - size.width()) / 2,
                                                 (screen.height() - size.height()) / 2), size));
        QCOMPARE(panel->Screen().Width(), size.width());
        QCOMPARE(panel->Screen().Height(), size.height());
    }

    void frameAndHelpPictureReachTheDisplay_data() {
        QTest::addColumn<int>("templateId");
        QTest::addColumn<int>("opener");
        QTest::addColumn<int>("content");
        QTest::newRow("Easy help") << 145 << kHelpEasy << 195;
        QTest::newRow("options") << 146 << kOptionsEasy << 0;
    }
    void frameAndHelpPictureReachTheDisplay() {
        QFETCH(int, templateId);
        QFETCH(int, opener);
        QFETCH(int, content);
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(opener);
        PanelWidget* panel = w.widget().Panel(templateId);
        QVERIFY(panel->isVisible());
        const QImage& shown = panel->Display();
        const int W = shown.width(), H = shown.height();
        auto pixelOf = [&](int picture, int x, int y) { return w.pictures().Get(picture)->At(x, y); };
        auto at = [&](int x, int y) { return shown.pixel(x, y) & 0xFFFFFFu; };
        // Each piece's first pixel lands at its corner, stretched or not.
        QCOMPARE(at(0, 0), pixelOf(156, 0, 0));
        QCOMPARE(at(0, 19), pixelOf(154, 0, 0));
        QCOMPARE(at(W - 6, 19), pixelOf(155, 0, 0));
        QCOMPARE(at(0, H - 6), pixelOf(166, 0, 0));
        // The title strip's last column is the picture's last column.
        QCOMPARE(at(W - 1, 0), pixelOf(156, 399, 0));
        if (content != 0) {
            const ui::Surface* picture = w.pictures().Get(content);
            for (QPoint p : {QPoint(0, 0), QPoint(picture->Width() - 1, picture->Height() - 1),
                             QPoint(picture->Width() / 2, picture->Height() / 2)})
                QCOMPARE(at(7 + p.x(), 19 + p.y()), picture->At(p.x(), p.y()));
        } else {
            // Inside the frame the dialog background shows.
            QCOMPARE(at(W / 2, H - 10), panel->palette().color(QPalette::Window).rgb() & 0xFFFFFFu);
        }
    }

    void windowsCarryTheirTitlesAndThePopupARaisedFrameWithoutCaret() {
        SimWindow w;
        QVERIFY(w.Create());
        // What a task list or window switcher names each window.
        const std::pair<int, const char*> titles[] = {
            {145, "Easy Help"}, {148, "Advance Help"}, {146, "Options"}, {147, "CPU Information"}, {188, "VelocoreIII"}};
        for (const auto& [templateId, title] : titles)
            QCOMPARE(w.widget().Panel(templateId)->windowTitle(), QString::fromLatin1(title));

        w.Click(kAutoOptimize);
        PanelWidget& popup = *w.widget().Panel(ui::kPanelProgress);
        const QImage shown = popup.grab().toImage();
        auto grey = [&](int x, int y) { return qGray(shown.pixel(x, y)); };
        const int W = shown.width(), H = shown.height(), inside = grey(4, H / 2);
        // Its two outer pixels: light along the top, dark along the bottom.
        QVERIFY(std::max(grey(W / 2, 0), grey(W / 2, 1)) > inside);
        QVERIFY(std::max(grey(W / 2, H - 1), grey(W / 2, H - 2)) < inside);
        auto* status = qobject_cast<QLineEdit*>(popup.Control(ui::kFieldProgressStatus));
        QVERIFY(status && status->isReadOnly());
        popup.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&popup));
        QTest::mouseClick(status, Qt::LeftButton);
        QVERIFY(!status->hasFocus());
    }

    void controlsSitAtTheirTemplatePlaces() {
        SimWindow w;
        QVERIFY(w.Create());
        for (int templateId : {ui::kPanelOptions, ui::kPanelCpuInfo, ui::kPanelProgress}) {
            PanelWidget* panel = w.widget().Panel(templateId);
            for (const ui::TemplateControl& control : ui::TemplateControls(templateId)) {
                if (control.id == 0) continue;
                QWidget* shown = panel->Control(control.id);
                QVERIFY2(shown, qPrintable(QString::number(control.id)));
                const ui::Rect r = ui::DialogRectToPixels(control.units);
                QCOMPARE(shown->geometry(), QRect(r.left, r.top, r.Width(), r.Height()));
                QVERIFY(shown->isVisibleTo(panel));
            }
        }
        // The group boxes have no id but are there.
        QCOMPARE(w.widget().Panel(ui::kPanelOptions)->findChildren<QGroupBox*>().size(), 1);
        QCOMPARE(w.widget().Panel(ui::kPanelCpuInfo)->findChildren<QGroupBox*>().size(), 1);
        QVERIFY(qobject_cast<QPushButton*>(w.widget().Panel(ui::kPanelCpuInfo)->Control(ui::kCpuRefresh)));
        QVERIFY(qobject_cast<QLineEdit*>(w.widget().Panel(ui::kPanelProgress)->Control(ui::kFieldProgressStatus)));
    }

    void closingClearsTheOpenerOfTheCurrentLayout_data() {
        QTest::addColumn<bool>("advance");
        QTest::addColumn<int>("opener");
        QTest::addColumn<int>("templateId");
        QTest::addColumn<int>("how");  // 0 close button, 1 Esc, 2 the window system's close
        QTest::newRow("options, Easy, close button") << false << kOptionsEasy << 146 << 0;
        QTest::newRow("options, Advance, Esc") << true << kOptionsAdvance << 146 << 1;
        QTest::newRow("Easy help, window close") << false << kHelpEasy << 145 << 2;
        QTest::newRow("Advance help, close button") << true << kHelpAdvance << 148 << 0;
        QTest::newRow("processor, Easy, Esc") << false << kCpuInfoEasy << 147 << 1;
    }
    void closingClearsTheOpenerOfTheCurrentLayout() {
        QFETCH(bool, advance);
        QFETCH(int, opener);
        QFETCH(int, templateId);
        QFETCH(int, how);
        SimWindow w;
        QVERIFY(w.Create());
        if (advance) w.Click(kAdvancedMode);
        w.Click(opener);
        PanelWidget* panel = w.widget().Panel(templateId);
        QVERIFY(panel->isVisible());
        QCOMPARE(w.model().Button(opener)->onState, 1);
        if (how == 0) QTest::mouseClick(panel->CloseButton(), Qt::LeftButton);
        if (how == 1) QTest::keyClick(panel, Qt::Key_Escape);
        if (how == 2) QVERIFY(!panel->close());  // the panel hides itself instead
        SimWindow::Settle();
        QVERIFY(!panel->isVisible());
        QCOMPARE(w.model().Button(opener)->onState, 0);
        // The opener shows it again, as it was.
        w.Click(opener);
        QVERIFY(panel->isVisible());
    }

    void dragMovesThePanelAndItStaysWhereLeft_data() {
        QTest::addColumn<QPoint>("travel");
        QTest::newRow("right and down") << QPoint(40, 25);
        // Faster than the panel: the pointer ends up left of and above it.
        QTest::newRow("left and up past the edge") << QPoint(-90, -60);
    }
    void dragMovesThePanelAndItStaysWhereLeft() {
        QFETCH(QPoint, travel);
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kOptionsEasy);
        PanelWidget* panel = w.widget().Panel(ui::kPanelOptions);
        const QPoint start = panel->geometry().topLeft();
        const QPoint grip = start + QPoint(60, 8);  // the title strip, not the close button
        SendMouse(*panel, QEvent::MouseButtonPress, grip, Qt::LeftButton);
        QVERIFY(panel->IsMouseCaptured());
        // The move arrives before the panel has followed: measured from where it is.
        SendMouse(*panel, QEvent::MouseMove, grip + travel, Qt::LeftButton);
        SendMouse(*panel, QEvent::MouseButtonRelease, grip + travel, Qt::NoButton);
        QVERIFY(!panel->IsMouseCaptured());
        QCOMPARE(panel->geometry().topLeft(), start + travel);
        QCOMPARE(panel->size(), QSize(214, 144));
        // A move without the button held does not drag.
        SendMouse(*panel, QEvent::MouseMove, grip + travel + QPoint(5, 5), Qt::NoButton);
        QCOMPARE(panel->geometry().topLeft(), start + travel);
        w.Click(kOptionsEasy);
        w.Click(kOptionsEasy);
        QCOMPARE(panel->geometry().topLeft(), start + travel);
    }

    void optionsWithoutSaveFileStartBlankAndFollowClicks() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kOptionsEasy);
        PanelWidget& p = *w.widget().Panel(ui::kPanelOptions);
        CheckMarks(p, {false, false, false, false, true});
        ClickControl(p, ui::kOptionUseOptimal);
        CheckMarks(p, {false, false, false, true, true});
        // A radio button is a group of its own, checked again by its click.
        ClickControl(p, ui::kOptionUseOptimal);
        CheckMarks(p, {false, false, false, true, true});
        ClickControl(p, ui::kOptionYes);
        ClickControl(p, ui::kOptionYes);  // toggles itself off, the panel checks it again
        CheckMarks(p, {true, false, false, true, true});
        ClickControl(p, ui::kOptionNo);
        CheckMarks(p, {false, true, false, true, false});  // marks stay on the disabled radios
        ClickControl(p, ui::kOptionNo);
        CheckMarks(p, {false, true, false, true, false});
        ClickControl(p, ui::kOptionUseSaved);  // disabled: takes no click
        CheckMarks(p, {false, true, false, true, false});
        ClickControl(p, ui::kOptionYes);
        CheckMarks(p, {true, false, false, true, true});
        ClickControl(p, ui::kOptionUseSaved);
        CheckMarks(p, {true, false, true, false, true});
        QVERIFY(w.messages().empty());
    }

    void optionsSurviveARestartOnlyAfterSave() {
        // The bus clock of a board that nobody has written to.
        const double untouched = SimWindow().machine().BusClockMHz();
        QTemporaryDir dir;
        const std::string where = dir.path().toStdString();
        {
            SimWindow w;
            w.StartIn(where);
            QVERIFY(w.Create());
            w.Click(kOptionsEasy);
            PanelWidget& p = *w.widget().Panel(ui::kPanelOptions);
            ClickControl(p, ui::kOptionYes);
            ClickControl(p, ui::kOptionUseOptimal);
        }
        {
            // Not saved: the next start knows nothing of it.
            SimWindow w;
            w.StartIn(where);
            QVERIFY(w.Create());
            QCOMPARE(w.model().autoOptimized(), 0);
            QCOMPARE(w.machine().BusClockMHz(), untouched);
            w.Click(kOptionsEasy);
            PanelWidget& p = *w.widget().Panel(ui::kPanelOptions);
            CheckMarks(p, {false, false, false, false, true});
            ClickControl(p, ui::kOptionYes);
            ClickControl(p, ui::kOptionUseOptimal);
            ClickControl(p, ui::kOptionSave);
            QCOMPARE(w.messages().size(), size_t{1});
            QCOMPARE(w.messages()[0], Message("Message", "Save OK!!"));
        }
        AutoApplySettings saved;
        QCOMPARE(ReadAutoApplySettings(where, saved), 1);
        QCOMPARE(saved.autoApply, 1);
        QCOMPARE(saved.autoApplySource, 2);
        {
            // Saved: the next start applies the optimal entry and shows the choice.
            SimWindow w;
            w.StartIn(where);
            QVERIFY(w.Create());
            QCOMPARE(w.model().autoOptimized(), 1);
            QCOMPARE(w.model().Button(kAutoOptimize)->onState, 1);
            QCOMPARE(w.machine().BusClockMHz(), OptimalBus(w.info()));
            w.Click(kOptionsEasy);
            CheckMarks(*w.widget().Panel(ui::kPanelOptions), {true, false, false, true, true});
            // "No" saved with the last source: the next start applies nothing.
            ClickControl(*w.widget().Panel(ui::kPanelOptions), ui::kOptionNo);
            ClickControl(*w.widget().Panel(ui::kPanelOptions), ui::kOptionSave);
        }
        QCOMPARE(ReadAutoApplySettings(where, saved), 1);
        QCOMPARE(saved.autoApply, 2);
        QCOMPARE(saved.autoApplySource, 2);
        SimWindow w;
        w.StartIn(where);
        QVERIFY(w.Create());
        QCOMPARE(w.model().autoOptimized(), 0);
        QCOMPARE(w.machine().BusClockMHz(), untouched);
    }

    void processorPanelShowsMeasuredValuesAndRefreshes() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kCpuInfoEasy);
        PanelWidget& p = *w.widget().Panel(ui::kPanelCpuInfo);
        QVERIFY(p.isVisible());
        const CPUInfo& cpu = w.info().cpu;
        QCOMPARE(p.FieldText(ui::kFieldVendor), std::string(cpu.vendorId));
        QCOMPARE(p.FieldText(ui::kFieldFamily), std::to_string(cpu.family));
        QCOMPARE(p.FieldText(ui::kFieldModel), std::to_string(cpu.model));
        QCOMPARE(p.FieldText(ui::kFieldStepping), std::to_string(cpu.stepping));
        QCOMPARE(p.FieldText(ui::kFieldMultiplier), Fixed2(cpu.multiplier));
        QCOMPARE(p.FieldText(ui::kFieldInternalClock), Fixed2(w.machine().CpuClockMHz()));
        QCOMPARE(p.FieldText(ui::kFieldExternalClock), Fixed2(w.machine().BusClockMHz()));
        // The chip switches behind the program's back; Refresh measures it.
        const double faster = OptimalBus(w.info());
        w.machine().SetBusClockMHz(faster);
        ClickControl(p, ui::kCpuRefresh);
        QCOMPARE(p.FieldText(ui::kFieldExternalClock), Fixed2(faster));
        QCOMPARE(p.FieldText(ui::kFieldInternalClock), Fixed2(w.machine().CpuClockMHz()));
        QCOMPARE(qobject_cast<QLabel*>(p.Control(ui::kFieldInternalClock))->alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
    }

    void autoOptimizeRunsTheTwelveTextsThenAppliesAndPressedAgainRestores() {
        SimWindow w;
        QVERIFY(w.Create());
        w.widget().SetPanelTimerDivisor(kFast);
        w.Click(kCpuInfoEasy);
        PanelWidget& popup = *w.widget().Panel(ui::kPanelProgress);
        auto* status = qobject_cast<QLineEdit*>(popup.Control(ui::kFieldProgressStatus));
        QStringList texts;
        QObject::connect(status, &QLineEdit::textChanged, status, [&texts](const QString& t) { texts << t; });
        const QImage before = w.widget().Display().copy(53, 141, 72, 10);

        w.Click(kAutoOptimize);
        QVERIFY(popup.isVisible());
        // Centred over the main window below its top 110 pixels.
        const QRect main = w.widget().geometry();
        const QRect placed = popup.geometry();
        QCOMPARE(placed.x(), main.x() + (main.width() - placed.width()) / 2);
        QCOMPARE(placed.y(), main.y() + 110 + (main.height() - placed.height() - 110) / 2);
        QVERIFY(popup.IsTimerRunning(ui::kProgressTextTimer));
        QVERIFY(popup.IsTimerRunning(ui::kProgressStripTimer));
        QTRY_VERIFY_WITH_TIMEOUT(w.widget().Display().copy(53, 141, 72, 10) != before, 5000);

        QTRY_VERIFY_WITH_TIMEOUT(!popup.isVisible(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(texts.size(), 13, 5000);
        QStringList expected;
        for (const char* text : ui::kProgressStatusTexts) expected << QString::fromLatin1(text);
        expected << QStringLiteral("Analysis.");
        QCOMPARE(texts, expected);
        QVERIFY(!popup.IsTimerRunning(ui::kProgressTextTimer));
        QVERIFY(!popup.IsTimerRunning(ui::kProgressStripTimer));
        QCOMPARE(w.model().autoOptimized(), 1);
        QCOMPARE(w.model().Button(kAutoOptimize)->onState, 1);
        QCOMPARE(w.machine().BusClockMHz(), OptimalBus(w.info()));
        PanelWidget& cpu = *w.widget().Panel(ui::kPanelCpuInfo);
        QCOMPARE(cpu.FieldText(ui::kFieldInternalClock), Fixed2(w.machine().CpuClockMHz()));
        QCOMPARE(cpu.FieldText(ui::kFieldExternalClock), Fixed2(w.machine().BusClockMHz()));
        // The strip's area is the face's again.
        SimWindow::Settle();
        QCOMPARE(w.widget().Display().copy(53, 141, 72, 10), before);

        // Pressed again: the default entry, at once, without the popup.
        texts.clear();
        w.Click(kAutoOptimize);
        QVERIFY(!popup.isVisible());
        QVERIFY(texts.isEmpty());
        QCOMPARE(w.model().autoOptimized(), 0);
        QCOMPARE(w.machine().BusClockMHz(), DefaultBus(w.info()));
        QCOMPARE(cpu.FieldText(ui::kFieldExternalClock), Fixed2(DefaultBus(w.info())));
        // And once more: a fresh run. The field still shows "Analysis."
        // from the last run's end, so the first change is the second text.
        auto* model = dynamic_cast<ui::ProgressPopup*>(popup.Model());
        QVERIFY(model);
        QCOMPARE(model->stageCounter(), 1);
        w.Click(kAutoOptimize);
        QVERIFY(popup.isVisible());
        QCOMPARE(model->stageCounter(), 0);
        QCOMPARE(model->stripFrame(), 12);
        QTRY_VERIFY_WITH_TIMEOUT(!texts.isEmpty(), 5000);
        QCOMPARE(texts.first(), QStringLiteral("Analysis.."));
        QTRY_COMPARE_WITH_TIMEOUT(w.model().autoOptimized(), 1, 10000);
    }

    void escHidesThePopupButTheRunCompletes_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }
    void escHidesThePopupButTheRunCompletes() {
        QFETCH(int, key);
        SimWindow w;
        QVERIFY(w.Create());
        w.widget().SetPanelTimerDivisor(kFast);
        w.Click(kAutoOptimize);
        PanelWidget& popup = *w.widget().Panel(ui::kPanelProgress);
        QTest::keyClick(popup.Control(ui::kFieldProgressStatus), Qt::Key(key));
        QVERIFY(!popup.isVisible());
        QCOMPARE(w.model().autoOptimized(), 0);
        QVERIFY(popup.IsTimerRunning(ui::kProgressTextTimer));
        QTRY_COMPARE_WITH_TIMEOUT(w.model().autoOptimized(), 1, 10000);
        QCOMPARE(w.machine().BusClockMHz(), OptimalBus(w.info()));
    }

    void autoOptimizeOnTheWallClock() {
        // Once at the real pace: 500 ms and 100 ms timers, the work at 6.5 s.
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kAutoOptimize);
        PanelWidget& popup = *w.widget().Panel(ui::kPanelProgress);
        QVERIFY(popup.isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(w.model().autoOptimized(), 1, 20000);
        QVERIFY(!popup.isVisible());
        QCOMPARE(popup.FieldText(ui::kFieldProgressStatus), std::string("Analysis."));
        QCOMPARE(w.machine().BusClockMHz(), OptimalBus(w.info()));
    }

    void layoutSwitchHidesTheLeftLayoutsPanels() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kOptionsEasy);
        w.Click(kHelpEasy);
        w.Click(kAdvancedMode);
        QVERIFY(!w.widget().Panel(ui::kPanelOptions)->isVisible());
        QVERIFY(!w.widget().Panel(ui::kPanelEasyHelp)->isVisible());
        w.Click(kHelpAdvance);
        QVERIFY(w.widget().Panel(ui::kPanelAdvanceHelp)->isVisible());
        w.Click(kEasyMode);
        QVERIFY(!w.widget().Panel(ui::kPanelAdvanceHelp)->isVisible());
        QCOMPARE(w.model().Button(kHelpAdvance)->onState, 0);
    }
};

QObject* MakePanelTests() { return new PanelTests; }

}  // namespace vc::qt::test

#include "panel_test.moc"
