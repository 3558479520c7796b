// Start-up's front end on the desktop: loads the pictures start-up asks
// for, creates the main window (model and widget) and runs the event loop
// until the window closes.
#pragma once

#include <functional>
#include <memory>

#include "core/app/startup.h"
#include "core/ui/picture_store.h"

namespace vc::ui {
class MainWindow;
}

namespace vc::qt {

class MainWindowWidget;

class QtFrontEnd : public ProgramFrontEnd {
public:
    explicit QtFrontEnd(ui::PictureStore& pictures);
    ~QtFrontEnd() override;

    void LoadPictures() override;
    int RunMainWindow(SystemInfo& info, Context& ctx, StartupState& state) override;

    // Called once the window is up, before the event loop runs (the timing
    // command and the tests hook in here).
    void SetOnWindowReady(std::function<void(MainWindowWidget&, ui::MainWindow&)> ready) {
        onReady_ = std::move(ready);
    }

private:
    ui::PictureStore& pictures_;
    std::function<void(MainWindowWidget&, ui::MainWindow&)> onReady_;
};

// Creates the window for a detected machine: the widget first, then the
// model on it, then the model's creation. Null when creation fails.
struct MainWindowPair {
    std::unique_ptr<MainWindowWidget> widget;
    std::unique_ptr<ui::MainWindow> model;
    MainWindowPair();
    MainWindowPair(MainWindowPair&&) noexcept;
    ~MainWindowPair();
};
bool CreateMainWindow(MainWindowPair& pair, SystemInfo& info, Context& ctx, ui::PictureStore& pictures,
                      const StartupState& state);

}  // namespace vc::qt
