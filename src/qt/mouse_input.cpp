#include "qt/mouse_input.h"

#include "core/ui/window_host.h"

namespace vc::qt {

ClientPoint ClientPosition(const QMouseEvent& event, const QRect& geometry) {
    const QPoint global = event.globalPosition().toPoint();
    return ClientPoint{static_cast<int16_t>(static_cast<uint16_t>(global.x() - geometry.x())),
                       static_cast<int16_t>(static_cast<uint16_t>(global.y() - geometry.y()))};
}

uint32_t MouseKeyFlags(const QMouseEvent& event) {
    return (event.buttons() & Qt::LeftButton) ? ui::kMouseLeftButtonFlag : 0;
}

}  // namespace vc::qt
