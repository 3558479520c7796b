#include "core/ui/panels/skinned_panel.h"

#include "core/ui/panels/panel_frame.h"

namespace vc::ui {

SkinnedPanel::SkinnedPanel(const PanelRecord& record, PanelWindow& window, PanelContext& env)
    : record_(record), window_(window), env_(env) {}

Rect SkinnedPanel::Size() const {
    const PanelSizes& sizes = env_.main.panelSizes();
    switch (record_.templateId) {
        case kPanelAdvanceHelp: return sizes.advanceHelp;
        case kPanelEasyHelp: return sizes.easyHelp;
        case kPanelOptions: return sizes.options;
        default: return sizes.cpuInfo;
    }
}

int32_t SkinnedPanel::OnInit() {
    // Centred once, here: afterwards the panel stays where it is left.
    const Rect size = Size();
    const ScreenSize screen = window_.PrimaryScreenSize();
    window_.PlaceHidden(RectAt((screen.width - size.Width()) / 2, (screen.height - size.Height()) / 2,
                               size.Width(), size.Height()));

    closeButton_ = SkinButton{};
    closeButton_.caption = "";
    closeButton_.pictureNormal = kPictureCloseNormal;
    closeButton_.picturePressed = kPictureCloseHeld;
    closeButton_.pictureOn = kPictureCloseHeld;
    closeButton_.pictureOnPressed = kPictureCloseHeld;
    closeButton_.x = record_.closeX;
    closeButton_.y = record_.closeY;
    closeButton_.width = kCloseButtonWidth;
    closeButton_.height = kCloseButtonHeight;
    closeButton_.shape = SHAPE_PICTURE;
    closeButton_.outlineBrush = 0;
    closeButton_.Create(window_, env_.pictures, record_.closeButtonId);

    InitContent();
    return 1;
}

void SkinnedPanel::CreateTemplateControls() {
    for (const TemplateControl& control : TemplateControls(record_.templateId)) {
        window_.CreateControl(ToControlSpec(control));
    }
}

void SkinnedPanel::OnPaint() {
    BeforeFrame();
    const Rect size = Size();
    Surface& screen = window_.Screen();
    PaintPanelFrame(screen, env_.pictures, size.Width(), size.Height());
    if (record_.contentPicture != 0) {
        DrawPicture(screen, env_.pictures.Get(record_.contentPicture), kFrameLeftWidth, kFrameTitleHeight);
    }
}

int32_t SkinnedPanel::OnDrawItem(const DrawItemRequest& request) { return closeButton_.DrawItem(request); }

void SkinnedPanel::OnCommand(uint32_t commandValue) {
    const auto id = static_cast<int32_t>(commandValue & 0xFFFFu);
    if (id == kCommandOk || id == kCommandCancel || id == record_.closeButtonId) {
        Close();
        return;
    }
    ContentCommand(id);
}

void SkinnedPanel::Close() {
    // The opener shows its normal face again; the panel stays created and
    // keeps its place and its controls' states for the next showing.
    if (SkinButton* opener = env_.main.Button(ClearedOpener(record_, env_.main.layoutMode()))) {
        opener->onState = 0;
        opener->Invalidate(env_.mainShell);
    }
    window_.Show(false);
}

void SkinnedPanel::OnLeftButtonDown(int16_t x, int16_t y) {
    dragAnchor_ = Point{x, y};
    window_.CaptureMouse();
}

void SkinnedPanel::OnMouseMove(uint32_t keyFlags, int16_t x, int16_t y) {
    if ((keyFlags & kMouseLeftButtonFlag) == 0) return;
    // The anchor stays: the point under the pointer stays fixed to the panel.
    const Rect now = window_.ScreenRect();
    window_.MoveTo(RectAt(now.left + (x - dragAnchor_.x), now.top + (y - dragAnchor_.y), now.Width(),
                          now.Height()));
}

void SkinnedPanel::OnLeftButtonUp() { window_.ReleaseMouse(); }

}  // namespace vc::ui
