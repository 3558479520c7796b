// The automatic-overclocking progress popup: each showing runs twelve
// status texts over six seconds (timer 1, every 500 ms) while a strip runs
// on the main window (timer 2, every 100 ms); at the thirteenth tick of
// timer 1 the popup hides and the main window's AutoOverclock writes the
// optimal entry, then the processor is measured and the processor
// information panel shows the result. Enter and Esc only hide the popup:
// the run still completes.
#pragma once

#include <array>
#include <cstdint>

#include "core/ui/geometry.h"
#include "core/ui/panels/panel_context.h"
#include "core/ui/panels/panel_shell.h"

namespace vc::ui {

inline constexpr int32_t kProgressTextTimer = 1;
inline constexpr int32_t kProgressTextPeriodMs = 500;
inline constexpr int32_t kProgressStripTimer = 2;
inline constexpr int32_t kProgressStripPeriodMs = 100;

inline constexpr std::array<const char*, 12> kProgressStatusTexts{
    "Analysis.",
    "Analysis..",
    "Analysis...",
    "Scanning possible frequency.",
    "Scanning possible frequency..",
    "Scanning possible frequency...",
    "Try to overclock.",
    "Try to overclock..",
    "Try to overclock...",
    "Success.",
    "Success..",
    "Success...",
};

// The strip on the Easy face: 5 x 10 cells every 6 pixels from x 53 while
// x is below 125, at y 141; this area is repainted when the strip stops.
inline constexpr int32_t kStripLeft = 53;
inline constexpr int32_t kStripTop = 141;
inline constexpr int32_t kStripStep = 6;
inline constexpr int32_t kStripCellWidth = 5;
inline constexpr int32_t kStripCellHeight = 10;
inline constexpr Rect kStripArea{53, 141, 125, 151};

// The popup sits this far below the main window's top, centred in the rest.
inline constexpr int32_t kProgressTopMargin = 110;

// Draws the strip on `mainShell`'s screen with frame `first` in the first
// cell and each next cell the following frame (11 wraps to 0), and puts it
// on the display. Always 1.
int32_t DrawProgressStrip(MainWindowShell& mainShell, PictureStore& pictures, int32_t first);

class ProgressPopup : public PanelEvents {
public:
    ProgressPopup(PanelWindow& window, PanelContext& env);

    int32_t OnInit() override;
    void OnPaint() override {}
    int32_t OnDrawItem(const DrawItemRequest&) override { return 0; }
    void OnCommand(uint32_t commandValue) override;
    void OnLeftButtonDown(int16_t, int16_t) override {}
    void OnMouseMove(uint32_t, int16_t, int16_t) override {}
    void OnLeftButtonUp() override {}
    void OnTimer(int32_t timerId) override;
    void OnShown() override;

    int32_t stageCounter() const { return stageCounter_; }
    int32_t stripFrame() const { return stripFrame_; }

private:
    void TextTick();
    void StripTick();
    // Centred over the main window below its top 110 pixels, of `size`.
    Rect PlaceOverMain(const Rect& size) const;

    PanelWindow& window_;
    PanelContext& env_;
    int32_t stageCounter_ = 0;
    int32_t stripFrame_ = 12;
};

}  // namespace vc::ui
