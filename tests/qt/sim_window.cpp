#include "sim_window.h"

#include <cstdio>

#include <QApplication>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include "core/app/detection.h"
#include "qt/skin_button_widget.h"
#include "qt/surface_image.h"
#include "sim/machine_catalogue.h"

namespace vc::qt::test {

namespace {

std::unique_ptr<sim::SimMachine> MakeMachine(const std::string& name) {
    sim::DescriptionResult result = name == sim::kDefaultMachineName
                                        ? sim::DefaultMachineDescription()
                                        : sim::LoadMachineByName(name, VC_SOURCE_DIR "/machines");
    if (!result.ok()) qFatal("machine %s: %s", name.c_str(), result.error.c_str());
    result.description->time.mode = sim::TimeMode::Virtual;
    return std::make_unique<sim::SimMachine>(*result.description);
}

const ui::DisplayPlace& PlaceOf(ui::DisplayValue value) {
    for (const ui::DisplayPlace& place : ui::MainDisplays())
        if (place.value == value) return place;
    qFatal("no display for value %d", static_cast<int>(value));
}

// The digit whose cell of `strip` matches the block of `shown` at (x, y);
// -1 when none does.
int MatchGlyph(const QImage& shown, int x, int y, const ui::Surface& strip) {
    const int glyphWidth = strip.Width() / 10;
    for (int digit = 0; digit < 10; ++digit) {
        bool same = true;
        for (int row = 0; row < strip.Height() && same; ++row)
            for (int col = 0; col < glyphWidth && same; ++col)
                same = (shown.pixel(x + col, y + row) & 0xFFFFFFu) == strip.At(digit * glyphWidth + col, row);
        if (same) return digit;
    }
    return -1;
}

}  // namespace

void AnswerAndRecord(QtShell& shell, std::vector<Message>& messages) {
    shell.SetAnswerer([&messages](QMessageBox& box) {
        messages.emplace_back(box.windowTitle().toStdString(), box.text().toStdString());
        box.button(QMessageBox::Ok)->click();
    });
}

SimWindow::SimWindow(const std::string& machine)
    : machine_(MakeMachine(machine)),
      ctx_{*machine_, shell_, kOsOther, VC_BIN_DIR},
      pictures_(VC_BIN_DIR "/resources") {
    AnswerAndRecord(shell_, messages_);
    state_.programDirectory = programDir_.path().toStdString();
    state_.layoutMode = kLayoutEasy;
}

SimWindow::~SimWindow() = default;

void SimWindow::StartIn(const std::string& dir) {
    state_.programDirectory = dir;
    if (!ReadAutoApplySettings(dir, state_.autoApply)) state_.autoApply = {};
}

bool SimWindow::Create(std::unique_ptr<MainWindowWidget> widget) {
    if (!DetectSystem(info_, ctx_)) return false;
    pair_.widget = std::move(widget);
    if (!CreateMainWindow(pair_, info_, ctx_, pictures_, state_)) return false;
    Settle();
    return true;
}

void SimWindow::Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void SimWindow::Click(int32_t id) {
    SkinButtonWidget* button = widget().ChildButton(id);
    if (!button) qFatal("no button %d", id);
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
}

void SimWindow::DoubleClick(int32_t id) {
    SkinButtonWidget* button = widget().ChildButton(id);
    if (!button) qFatal("no button %d", id);
    // As the window system delivers it: a click, then the second press as
    // a double click, then its release.
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseDClick(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    Settle();
}

QImage SimWindow::Shown() { return widget().grab().toImage().convertToFormat(QImage::Format_RGB32); }

std::string SimWindow::ReadDisplay(ui::DisplayValue value) {
    const ui::DisplayPlace& place = PlaceOf(value);
    const ui::Surface* strip = pictures_.Get(place.picture);
    if (!strip) qFatal("no digit strip %d", place.picture);
    const QImage shown = Shown();
    const int step = strip->Width() / 10 + place.spacing;
    std::string text;
    for (int cell = 0; cell < place.cells; ++cell) {
        const int digit = MatchGlyph(shown, place.x + cell * step, place.y, *strip);
        text += digit < 0 ? '_' : static_cast<char>('0' + digit);
    }
    if (place.showTenths) {
        const int digit = MatchGlyph(shown, place.x + place.cells * step + 6, place.y, *strip);
        text += '.';
        text += digit < 0 ? '_' : static_cast<char>('0' + digit);
    }
    return text;
}

std::string ExpectedDisplay(double value, int32_t cells, bool showTenths) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    std::string text(buffer);
    const auto point = text.find('.');
    std::string integer = text.substr(0, point);
    if (static_cast<int32_t>(integer.size()) < cells)
        integer.insert(0, static_cast<size_t>(cells) - integer.size(), '_');
    return showTenths ? integer + "." + text.substr(point + 1, 1) : integer;
}

}  // namespace vc::qt::test
