// The main window's control sets, panels and panel toggles as data.
#pragma once

#include <array>
#include <cstdint>

#include "core/ui/main/main_window_shell.h"

namespace vc::ui {

// Commands of the skin buttons (each button's control id).
inline constexpr int32_t kButtonSave = 301;
inline constexpr int32_t kButtonLoad = 302;
inline constexpr int32_t kButtonGo = 303;
inline constexpr int32_t kButtonUp = 304;
inline constexpr int32_t kButtonDown = 305;
inline constexpr int32_t kButtonAdvancedMode = 311;
inline constexpr int32_t kButtonAutoOptimize = 312;
inline constexpr int32_t kButtonDefault = 314;
inline constexpr int32_t kButtonEasyMode = 315;
inline constexpr int32_t kButtonAdvanceHelp = 316;
inline constexpr int32_t kButtonAdvanceCpuInfo = 317;
inline constexpr int32_t kButtonAdvancePower = 318;
inline constexpr int32_t kButtonEasyHelp = 319;
inline constexpr int32_t kButtonEasyCpuInfo = 320;
inline constexpr int32_t kButtonEasyPower = 321;
inline constexpr int32_t kButtonAdvanceOptions = 322;
inline constexpr int32_t kButtonEasyOptions = 324;
inline constexpr int32_t kButtonFineTuneIndicator = 325;
inline constexpr int32_t kButtonFineTune = 326;

// Layout codes of the outline requests: 1 Easy, anything else Advance.
inline constexpr int32_t kLayoutCodeEasy = 1;
inline constexpr int32_t kLayoutCodeAdvance = 2;

inline constexpr std::array<int32_t, 6> kEasySet{311, 312, 319, 320, 321, 324};
inline constexpr std::array<int32_t, 13> kAdvanceSet{301, 302, 303, 304, 305, 314, 315,
                                                     316, 317, 318, 322, 325, 326};

// The panels the window owns, in creation order.
inline constexpr std::array<int32_t, 5> kPanelTemplates{kPanelAdvanceHelp, kPanelEasyHelp, kPanelOptions,
                                                        kPanelCpuInfo, kPanelProgress};

// A button that opens and closes a panel and keeps in its onState whether
// it opened it.
struct PanelToggle {
    int32_t buttonId;
    int32_t panelTemplate;
    bool measuresFirst;  // the processor clock is measured before showing
};

inline constexpr std::array<PanelToggle, 6> kPanelToggles{{
    {316, kPanelAdvanceHelp, false},
    {317, kPanelCpuInfo, true},
    {319, kPanelEasyHelp, false},
    {320, kPanelCpuInfo, true},
    {322, kPanelOptions, false},
    {324, kPanelOptions, false},
}};

// Frame pictures of the skinned panels.
inline constexpr int32_t kPictureTitleStrip = 156;
inline constexpr int32_t kPictureLeftEdge = 154;
inline constexpr int32_t kPictureRightEdge = 155;
inline constexpr int32_t kPictureBottomEdge = 166;
inline constexpr int32_t kPictureAdvanceHelp = 171;
inline constexpr int32_t kPictureEasyHelp = 195;

}  // namespace vc::ui
