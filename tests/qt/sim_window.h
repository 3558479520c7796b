// A main window on the simulated default machine, created as start-up
// creates it, with virtual time (the animations cost nothing) and every
// message box answered and recorded.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QTemporaryDir>

#include "core/base/context.h"
#include "core/app/startup.h"
#include "core/board/system_info.h"
#include "core/ui/main/main_window.h"
#include "core/ui/main/main_window_places.h"
#include "core/ui/picture_store.h"
#include "qt/main_window_widget.h"
#include "qt/qt_front_end.h"
#include "qt/qt_shell.h"
#include "sim/sim_machine.h"

namespace vc::qt::test {

using Message = std::pair<std::string, std::string>;  // caption, text

// Answers every box with OK and records its caption and text.
void AnswerAndRecord(QtShell& shell, std::vector<Message>& messages);

class SimWindow {
public:
    // `machine` is a catalogue name; "default" the embedded machine.
    explicit SimWindow(const std::string& machine = "default");
    ~SimWindow();

    // A later start in `dir`: start-up reads that directory's save.dat.
    // Call before Create.
    void StartIn(const std::string& dir);

    // Detection, then the window. `widget` may bring a widget of a test's own.
    bool Create(std::unique_ptr<MainWindowWidget> widget = nullptr);

    MainWindowWidget& widget() { return *pair_.widget; }
    ui::MainWindow& model() { return *pair_.model; }
    sim::SimMachine& machine() { return *machine_; }
    SystemInfo& info() { return info_; }
    ui::PictureStore& pictures() { return pictures_; }
    std::vector<Message>& messages() { return messages_; }
    std::string programDirectory() const { return state_.programDirectory; }

    // A click (or double click) on skin button `id` as a user makes it,
    // then whatever the event loop has queued (the repaints).
    void Click(int32_t id);
    void DoubleClick(int32_t id);
    static void Settle();

    // What the window shows now, children included.
    QImage Shown();
    // The digits a display shows, read against its digit strip: one
    // character per cell, '_' where no digit is drawn, '.' then the tenths.
    std::string ReadDisplay(ui::DisplayValue value);

private:
    std::unique_ptr<sim::SimMachine> machine_;
    QtShell shell_;
    std::vector<Message> messages_;
    Context ctx_;
    SystemInfo info_;
    ui::PictureStore pictures_;
    QTemporaryDir programDir_;
    StartupState state_;
    MainWindowPair pair_;
};

// What a display should show for `value`: the integer digits right-aligned
// in `cells`, '_' in the cells before them, then '.' and the tenths digit
// when the display has one.
std::string ExpectedDisplay(double value, int32_t cells, bool showTenths);

}  // namespace vc::qt::test
