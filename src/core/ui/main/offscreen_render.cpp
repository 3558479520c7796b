#include "core/ui/main/offscreen_render.h"

#include <vector>

#include "core/ui/main/main_face.h"
#include "core/ui/skin_button.h"
#include "core/ui/window_host.h"

namespace vc::ui {

namespace {

inline constexpr int32_t kAutoOptimizeId = 312;

// A window that exists only as pixels: children are remembered, nothing is
// shown anywhere.
class OffscreenWindow : public WindowHost {
public:
    OffscreenWindow() : screen_(kMainWidth, kMainHeight, kColourKey) {}
    Surface& Screen() override { return screen_; }
    void Present(const Rect&) override {}
    void Invalidate(const Rect&, bool) override {}
    ChildHandle CreateChildButton(const ChildButtonSpec& desc) override {
        children_.push_back(desc);
        return static_cast<ChildHandle>(children_.size());
    }
    const ChildButtonSpec& Child(ChildHandle handle) const { return children_.at(handle - 1); }

private:
    Surface screen_;
    std::vector<ChildButtonSpec> children_;
};

// Draws the button through its own drawing request and copies the visible
// part of its pixels onto the window.
void DrawChildButton(OffscreenWindow& window, const SkinButton& button) {
    Surface face(button.width, button.height, kColourKey);
    DrawItemRequest request;
    request.controlId = button.id;
    request.surface = &face;
    request.itemRect = Rect{0, 0, button.width, button.height};
    if (!button.DrawItem(request)) return;
    const ChildButtonSpec& child = window.Child(button.window);
    for (int32_t y = 0; y < button.height; ++y) {
        for (int32_t x = 0; x < button.width; ++x) {
            if (!child.region.IsEmpty() && !child.region.Contains(x, y)) continue;
            if (window.Screen().Contains(button.x + x, button.y + y))
                window.Screen().Set(button.x + x, button.y + y, face.At(x, y));
        }
    }
}

}  // namespace

Surface RenderMainWindow(PictureStore& pictures, const SystemInfo& info, const RenderOptions& options) {
    OffscreenWindow window;
    MainFonts fonts;
    fonts.Load(pictures);
    PaintMainFace(window.Screen(), pictures, fonts, info, options.layout);

    const bool fineTune = info.clockGen() && info.clockGen()->fineTune != 0;
    for (const ButtonPlace& place : MainButtons()) {
        if (place.layout != options.layout || (place.fineTuneOnly && !fineTune)) continue;
        SkinButton button = SkinButtonFor(place);
        if (!button.Create(window, pictures, place.id)) continue;
        button.onState = place.id == kAutoOptimizeId && options.autoOptimized ? 1 : 0;
        DrawChildButton(window, button);
    }
    return window.Screen();
}

}  // namespace vc::ui
