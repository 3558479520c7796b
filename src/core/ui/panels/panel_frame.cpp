#include "core/ui/panels/panel_frame.h"

#include "core/ui/panels/panel_templates.h"

namespace vc::ui {

namespace {

void StretchWhole(Surface& target, const Surface* piece, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (piece == nullptr) return;
    StretchPixels(target, x, y, width, height, *piece, 0, 0, piece->Width(), piece->Height());
}

}  // namespace

void PaintPanelFrame(Surface& target, PictureStore& pictures, int32_t width, int32_t height) {
    const int32_t sideHeight = height - kFrameTitleHeight - kFrameBottomHeight;
    StretchWhole(target, pictures.Get(kPictureFrameTitle), 0, 0, width, kFrameTitleHeight);
    StretchWhole(target, pictures.Get(kPictureFrameLeft), 0, kFrameTitleHeight, kFrameLeftWidth, sideHeight);
    StretchWhole(target, pictures.Get(kPictureFrameRight), width - kFrameRightWidth, kFrameTitleHeight,
                 kFrameRightWidth, sideHeight);
    StretchWhole(target, pictures.Get(kPictureFrameBottom), 0, height - kFrameBottomHeight, width,
                 kFrameBottomHeight);
}

}  // namespace vc::ui
