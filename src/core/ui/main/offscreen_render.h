// The whole main window drawn into one picture, without a window system:
// the face of a layout with the layout's skin buttons on it, each showing
// the face it has when it is up.
#pragma once

#include "core/board/system_info.h"
#include "core/ui/main/main_window_places.h"
#include "core/ui/picture_store.h"
#include "core/ui/surface.h"

namespace vc::ui {

struct RenderOptions {
    Layout layout = Layout::Easy;
    bool autoOptimized = false;  // button 312 shows its on face
};

// A 526 x 216 picture; what lies outside the layout's face keeps the colour
// key RGB(254, 254, 254).
Surface RenderMainWindow(PictureStore& pictures, const SystemInfo& info, const RenderOptions& options);

}  // namespace vc::ui
