// Text for outline-shaped buttons, in the application's default font and
// black, drawn straight into a surface.
#pragma once

#include "core/ui/window_host.h"

namespace vc::qt {

class QtTextPainter : public ui::TextPainter {
public:
    void DrawText(ui::Surface& target, int32_t x, int32_t y, const std::string& text) override;
};

}  // namespace vc::qt
