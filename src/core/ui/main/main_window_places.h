// Where everything on the main window sits: its skin buttons, its number
// displays, its backgrounds and its repaint areas, per layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/ui/geometry.h"

namespace vc::ui {

inline constexpr int32_t kMainWidth = 526;
inline constexpr int32_t kMainHeight = 216;
inline constexpr int32_t kEasyTop = 110;  // the Easy face covers rows 110 to 215

inline constexpr int32_t kPictureEasyBackground = 109;
inline constexpr int32_t kPictureAdvanceBackground = 136;
inline constexpr int32_t kPictureLargeDigits = 110;  // ten cells of 16 x 32
inline constexpr int32_t kPictureSmallDigits = 152;  // ten cells of 10 x 20

enum class Layout : int32_t { Easy = 1, Advance = 2 };

struct ButtonPlace {
    int32_t id;  // the command the button sends
    Layout layout;
    bool fineTuneOnly;  // exists only when the clock generator offers fine tuning
    int32_t x, y, width, height;
    int32_t pictureNormal, picturePressed, pictureOn, pictureOnPressed;  // 0: none
};

inline constexpr size_t kMainButtonCount = 19;

// The skin-button record a place describes, ready for SkinButton::Create:
// a picture button with an empty caption and the white frame brush.
struct SkinButton;
SkinButton SkinButtonFor(const ButtonPlace& place);

// In creation order.
std::span<const ButtonPlace, kMainButtonCount> MainButtons();

enum class DisplayValue { MeasuredCpuClock, BusClock, PciClock, MemClock, SelectedCpuClock };

struct DisplayPlace {
    Layout layout;
    DisplayValue value;
    int32_t x, y;
    int32_t picture;
    int32_t cells;
    bool showTenths;
    int32_t spacing;
    bool onlyWhenNonZero;
};

// In painting order within each layout.
std::span<const DisplayPlace> MainDisplays();

inline constexpr Rect kBusDisplayArea{58, 160, 158, 205};
inline constexpr Rect kAdvanceCpuDisplayArea{256, 83, 370, 115};
inline constexpr Rect kPciDisplayArea{178, 149, 226, 169};
inline constexpr Rect kMemDisplayArea{177, 185, 225, 205};
inline constexpr Rect kEasyCpuDisplayArea{40, 161, 136, 193};
inline constexpr Rect kAutoOptimizeButtonArea{173, 179, 286, 203};
inline constexpr Rect kFineTuneIndicatorArea{18, 157, 48, 176};
inline constexpr Rect kWindowRect{0, 0, kMainWidth, kMainHeight};

}  // namespace vc::ui
