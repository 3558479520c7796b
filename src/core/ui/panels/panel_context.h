// What the panel models work with besides their own window: the detected
// system, the machine and messages, the main window they belong to and its
// window, the pictures, and the start-up choice the options panel edits.
#pragma once

#include <string>

#include "core/base/context.h"
#include "core/board/system_info.h"
#include "core/state/auto_apply_file.h"
#include "core/ui/main/main_window.h"
#include "core/ui/main/main_window_shell.h"
#include "core/ui/picture_store.h"

namespace vc::ui {

struct PanelContext {
    SystemInfo& info;
    Context& ctx;
    MainWindow& main;
    MainWindowShell& mainShell;
    PictureStore& pictures;
    // The in-memory save.dat values, read at start-up: the options panel
    // changes them on every click and writes them on "Save".
    AutoApplySettings& autoApply;
    std::string programDirectory;  // where save.dat lives
};

}  // namespace vc::ui
