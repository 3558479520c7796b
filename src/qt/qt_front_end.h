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
class PanelSet;
struct PanelContext;
}

namespace vc::qt {

class MainWindowWidget;

class QtFrontEnd : public ProgramFrontEnd {
public:
    explicit QtFrontEnd(ui::PictureStore& pictures);
    ~QtFrontEnd() override;

    void LoadPictures() override;
    int RunMainWindow(SystemInfo& info, Context& ctx, StartupState& state) override;

    // Called once, when the main window's first frame is on the display.
    void SetOnFirstPaint(std::function<void()> firstPaint) { onFirstPaint_ = std::move(firstPaint); }

private:
    ui::PictureStore& pictures_;
    std::function<void()> onFirstPaint_;
};

// Creates the window for a detected machine: the widget first (unless the
// pair brings one), then the model on it, then the model's creation; shows
// and paints it. False when the model's creation fails.
struct MainWindowPair {
    std::unique_ptr<MainWindowWidget> widget;
    std::unique_ptr<ui::MainWindow> model;
    // The in-memory save.dat values the options panel edits.
    AutoApplySettings autoApply;
    std::unique_ptr<ui::PanelContext> panelEnv;
    std::unique_ptr<ui::PanelSet> panelModels;
    MainWindowPair();
    MainWindowPair(MainWindowPair&&) noexcept;
    ~MainWindowPair();
};
bool CreateMainWindow(MainWindowPair& pair, SystemInfo& info, Context& ctx, ui::PictureStore& pictures,
                      const StartupState& state, std::function<void()> onFirstPaint = {});

}  // namespace vc::qt
