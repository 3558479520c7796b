#include "core/ui/panels/progress_popup.h"

#include "core/cpu/cpu_speed.h"
#include "core/ui/panels/panel_templates.h"
#include "core/ui/picture_catalogue.h"

namespace vc::ui {

namespace {

constexpr int32_t kStageCount = static_cast<int32_t>(kProgressStatusTexts.size());

int32_t WrapFrame(int32_t frame) {
    const int32_t wrapped = frame % kStripFrameCount;
    return wrapped < 0 ? wrapped + kStripFrameCount : wrapped;
}

}  // namespace

int32_t DrawProgressStrip(MainWindowShell& mainShell, PictureStore& pictures, int32_t first) {
    Surface& screen = mainShell.Screen();
    int32_t frame = WrapFrame(first);
    for (int32_t x = kStripLeft; x < kStripArea.right; x += kStripStep) {
        if (const Surface* picture = pictures.Get(kStripFramePictures[static_cast<size_t>(frame)])) {
            CopyPixels(screen, x, kStripTop, *picture, 0, 0, kStripCellWidth, kStripCellHeight);
        }
        frame = WrapFrame(frame + 1);
    }
    mainShell.Present(kStripArea);
    return 1;
}

ProgressPopup::ProgressPopup(PanelWindow& window, PanelContext& env) : window_(window), env_(env) {}

int32_t ProgressPopup::OnInit() {
    for (const TemplateControl& control : TemplateControls(kPanelProgress)) {
        window_.CreateControl(ToControlSpec(control));
    }
    window_.PlaceHidden(PlaceOverMain(DialogRectToPixels(kProgressPopupUnits)));
    return 1;
}

Rect ProgressPopup::PlaceOverMain(const Rect& size) const {
    const Rect main = env_.mainShell.MainWindowScreenRect();
    const int32_t x = main.left + (main.Width() - size.Width()) / 2;
    const int32_t y = main.top + kProgressTopMargin + (main.Height() - size.Height() - kProgressTopMargin) / 2;
    return RectAt(x, y, size.Width(), size.Height());
}

void ProgressPopup::OnShown() {
    // Every showing is a fresh run; restarting a timer that still runs
    // (shown again before the last run ended) starts its period over.
    stripFrame_ = 12;
    stageCounter_ = 0;
    window_.StartTimer(kProgressTextTimer, kProgressTextPeriodMs);
    window_.StartTimer(kProgressStripTimer, kProgressStripPeriodMs);
    window_.PlaceOnTop(PlaceOverMain(window_.ScreenRect()));
}

void ProgressPopup::OnCommand(uint32_t commandValue) {
    const auto id = static_cast<int32_t>(commandValue & 0xFFFFu);
    // Enter and Esc hide the popup; the timers go on and the run completes.
    if (id == kCommandOk || id == kCommandCancel) window_.Show(false);
}

void ProgressPopup::OnTimer(int32_t timerId) {
    if (timerId == kProgressTextTimer) TextTick();
    if (timerId == kProgressStripTimer) StripTick();
}

void ProgressPopup::TextTick() {
    if (stageCounter_ >= kStageCount) {
        window_.StopTimer(kProgressTextTimer);
        window_.Show(false);
        env_.main.AutoOverclock();
        stageCounter_ = 0;
        RefreshCPU(env_.info.cpu, env_.ctx);
        RefreshCPU(env_.info.cpu, env_.ctx);
        env_.main.WriteCpuInfoFields();
    }
    // The finishing tick leaves "Analysis." behind for the next showing.
    window_.SetControlText(kFieldProgressStatus, kProgressStatusTexts[static_cast<size_t>(stageCounter_)]);
    ++stageCounter_;
}

void ProgressPopup::StripTick() {
    if (stageCounter_ >= kStageCount) {
        window_.StopTimer(kProgressStripTimer);
        env_.mainShell.Invalidate(kStripArea, true);
    }
    stripFrame_ = stripFrame_ == 0 ? kStripFrameCount - 1 : stripFrame_ - 1;
    DrawProgressStrip(env_.mainShell, env_.pictures, stripFrame_);
}

}  // namespace vc::ui
