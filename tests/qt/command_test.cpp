// The command table clicked through on the simulated default machine, with
// the displays read off the window by their pixels.
#include <cstdio>

#include <QFileInfo>
#include <QTest>

#include "core/ui/main/main_window_shell.h"
#include "qt/panel_widget.h"
#include "sim_window.h"
#include "test_classes.h"

namespace vc::qt::test {

namespace {

using ui::DisplayValue;

constexpr int32_t kSave = 301, kLoad = 302, kGo = 303, kUp = 304, kDown = 305;
constexpr int32_t kAdvancedMode = 311, kDefault = 314, kEasyMode = 315, kCpuInfoAdvance = 317;

std::string Fixed2(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%4.2f", value);
    return buffer;
}

// The bus clock of table entry `index` (1-based) of the board's generator.
double EntryBus(SystemInfo& info, int32_t index) {
    return info.clockGen()->entries.at(static_cast<size_t>(index - 1)).busMHz;
}

}  // namespace

class CommandTests : public QObject {
    Q_OBJECT

private:
    // The Advance displays against the selection's values.
    static void CheckAdvanceDisplays(SimWindow& w) {
        SystemInfo& info = w.info();
        QCOMPARE(w.ReadDisplay(DisplayValue::BusClock), ExpectedDisplay(info.busClockMHz, 3, true));
        QCOMPARE(w.ReadDisplay(DisplayValue::PciClock), ExpectedDisplay(info.pciClockMHz, 3, false));
        QCOMPARE(w.ReadDisplay(DisplayValue::MemClock), ExpectedDisplay(info.memClockMHz, 3, false));
        QCOMPARE(w.ReadDisplay(DisplayValue::SelectedCpuClock), ExpectedDisplay(info.cpuClockMHz, 4, true));
    }

private slots:
    void easyLayoutShowsTheMeasuredClock() {
        SimWindow w;
        QVERIFY(w.Create());
        QCOMPARE(w.model().layoutMode(), 1);
        // What the simulated processor really runs at, to the tenth.
        QCOMPARE(w.ReadDisplay(DisplayValue::MeasuredCpuClock), ExpectedDisplay(w.machine().CpuClockMHz(), 4, true));
        QVERIFY(w.messages().empty());
    }

    void upAndDownStepTheDisplays() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kAdvancedMode);
        QCOMPARE(w.model().layoutMode(), 2);
        const int32_t start = w.info().currentIndex;
        QCOMPARE(w.ReadDisplay(DisplayValue::BusClock), ExpectedDisplay(EntryBus(w.info(), start), 3, true));
        CheckAdvanceDisplays(w);

        w.Click(kUp);
        QCOMPARE(w.info().currentIndex, start + 1);
        QCOMPARE(w.ReadDisplay(DisplayValue::BusClock), ExpectedDisplay(EntryBus(w.info(), start + 1), 3, true));
        CheckAdvanceDisplays(w);

        w.Click(kDown);
        w.Click(kDown);
        QCOMPARE(w.info().currentIndex, start - 1);
        QCOMPARE(w.ReadDisplay(DisplayValue::BusClock), ExpectedDisplay(EntryBus(w.info(), start - 1), 3, true));
        CheckAdvanceDisplays(w);

        w.Click(kDefault);
        QCOMPARE(w.info().currentIndex, w.info().defaultIndex);
        CheckAdvanceDisplays(w);
        // Stepping writes nothing to the chip.
        QCOMPARE(w.info().appliedIndex, w.info().defaultIndex);
    }

    void doubleClickOnUpStepsOnce() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kAdvancedMode);
        const int32_t start = w.info().currentIndex;
        w.DoubleClick(kUp);
        QCOMPARE(w.info().currentIndex, start + 1);
        QCOMPARE(w.ReadDisplay(DisplayValue::BusClock), ExpectedDisplay(EntryBus(w.info(), start + 1), 3, true));
    }

    void goWritesTheChipAndFillsTheProcessorPanel() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kAdvancedMode);
        w.Click(kUp);
        w.Click(kUp);
        const double wanted = w.info().busClockMHz;
        QVERIFY(qAbs(w.machine().BusClockMHz() - wanted) > 0.05);
        w.Click(kGo);
        // The simulated chip switched, and the measurement saw it.
        QVERIFY2(qAbs(w.machine().BusClockMHz() - wanted) < 0.05, qPrintable(QString::number(w.machine().BusClockMHz())));
        QCOMPARE(w.info().appliedIndex, w.info().currentIndex);
        PanelWidget* panel = w.widget().Panel(ui::kPanelCpuInfo);
        QVERIFY(panel);
        QCOMPARE(panel->FieldText(ui::kFieldInternalClock), Fixed2(w.info().cpu.cpuClockMHz));
        QCOMPARE(panel->FieldText(ui::kFieldExternalClock), Fixed2(w.info().cpu.busClockMHz));
        QVERIFY(qAbs(w.info().cpu.cpuClockMHz - w.machine().CpuClockMHz()) < 1.0);
        // The panel was written while hidden; CPU info shows it.
        QVERIFY(!panel->isVisible());
        w.Click(kCpuInfoAdvance);
        QVERIFY(panel->isVisible());
        w.Click(kCpuInfoAdvance);
        QVERIFY(!panel->isVisible());

        // Back in Easy, the display shows the new measured clock.
        w.Click(kEasyMode);
        QCOMPARE(w.model().layoutMode(), 1);
        QCOMPARE(w.ReadDisplay(DisplayValue::MeasuredCpuClock), ExpectedDisplay(w.machine().CpuClockMHz(), 4, true));
    }

    void saveThenLoadBringsTheSelectionBack() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kAdvancedMode);
        w.Click(kUp);
        const int32_t saved = w.info().currentIndex;
        w.Click(kSave);
        QVERIFY(QFileInfo::exists(QString::fromStdString(w.programDirectory() + "/sysinfo.dat")));
        QVERIFY(w.messages().empty());  // Save says nothing
        w.Click(kDown);
        w.Click(kDown);
        w.Click(kLoad);
        QCOMPARE(w.info().currentIndex, saved);
        QCOMPARE(w.ReadDisplay(DisplayValue::BusClock), ExpectedDisplay(EntryBus(w.info(), saved), 3, true));
        QCOMPARE(w.messages(), (std::vector<Message>{{"Message", "Setting Load OK"}}));
    }

    void loadWithoutASavedSelectionSaysSo() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(kAdvancedMode);
        w.Click(kUp);
        const int32_t selected = w.info().currentIndex;
        w.Click(kLoad);
        QCOMPARE(w.info().currentIndex, selected);
        QCOMPARE(w.messages(),
                 (std::vector<Message>{{"Message", "Setting Load Failure,Maybe no data or data not match"}}));
    }

    void powerHidesAndTheMenuShowsAgain() {
        SimWindow w;
        QVERIFY(w.Create());
        w.Click(321);
        QVERIFY(!w.widget().isVisible());
        QVERIFY(w.widget().MenuItem(ui::kMenuShow)->isEnabled());
        QVERIFY(!w.widget().MenuItem(ui::kMenuHide)->isEnabled());
        w.model().OnTrayNotify(ui::kTrayIconId, ui::kTrayLeftDoubleClick);
        SimWindow::Settle();
        QVERIFY(w.widget().isVisible());
        QVERIFY(!w.widget().MenuItem(ui::kMenuShow)->isEnabled());
        QVERIFY(w.widget().MenuItem(ui::kMenuHide)->isEnabled());
    }
};

QObject* MakeCommandTests() { return new CommandTests; }

}  // namespace vc::qt::test

#include "command_test.moc"
