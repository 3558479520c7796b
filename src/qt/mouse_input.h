// What a window's model is told of a mouse event: client coordinates as
// signed 16-bit values and the left-button key flag.
#pragma once

#include <cstdint>

#include <QMouseEvent>
#include <QRect>

namespace vc::qt {

struct ClientPoint {
    int16_t x = 0;
    int16_t y = 0;
};

// Measured from where the window is now (`geometry`), not where the event
// was queued, so a drag that has just moved the window keeps the point under
// the pointer fixed. Negative above or left of the window while captured.
ClientPoint ClientPosition(const QMouseEvent& event, const QRect& geometry);

// kMouseLeftButtonFlag while the left button is held, else 0.
uint32_t MouseKeyFlags(const QMouseEvent& event);

}  // namespace vc::qt
