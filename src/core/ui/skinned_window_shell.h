// What the model of any skinned window asks of the window system beyond
// its screen surface and child buttons (WindowHost): the primary screen's
// size and mouse capture. The main window's shell and the panel windows
// both extend it, as a virtual base, so one window-system class can answer
// these requests for both kinds of window.
#pragma once

#include <cstdint>

#include "core/ui/window_host.h"

namespace vc::ui {

struct ScreenSize {
    int32_t width = 0;
    int32_t height = 0;
};

class SkinnedWindowShell : public WindowHost {
public:
    // The primary screen in pixels.
    virtual ScreenSize PrimaryScreenSize() const = 0;

    // --- mouse capture: moves reach the window even outside it ---
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
};

}  // namespace vc::ui
