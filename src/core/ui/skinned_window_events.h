// What the window system hands the model of any skinned window, the main
// window's and the panels' alike: paint, child-button drawing, commands and
// the mouse on the window's background. All of it runs on the one
// user-interface thread, one event at a time, and an event may block
// (animations and measurements spin on the machine's tick count).
#pragma once

#include <cstdint>

#include "core/ui/window_host.h"

namespace vc::ui {

class SkinnedWindowEvents {
public:
    virtual ~SkinnedWindowEvents() = default;

    // Draws the window's face into Screen(); the window system then puts the
    // parts that need it on the display.
    virtual void OnPaint() = 0;

    // A child button asks to be drawn. Returns 1 when the model drew it.
    virtual int32_t OnDrawItem(const DrawItemRequest& request) = 0;

    // A command: the notification code in the high 16 bits, the id in the
    // low 16. Which codes count is the window's own affair.
    virtual void OnCommand(uint32_t commandValue) = 0;

    // Mouse on the window's background (not on a child or control), client
    // coordinates as signed 16-bit values (negative above or left of the
    // window while captured).
    virtual void OnLeftButtonDown(int16_t x, int16_t y) = 0;
    virtual void OnMouseMove(uint32_t keyFlags, int16_t x, int16_t y) = 0;
    virtual void OnLeftButtonUp() = 0;
};

}  // namespace vc::ui
