#include "core/ui/main/main_window_places.h"

#include <array>

#include "core/ui/skin_button.h"

namespace vc::ui {

namespace {

constexpr Layout E = Layout::Easy;
constexpr Layout A = Layout::Advance;

constexpr std::array<ButtonPlace, kMainButtonCount> kButtons{{
    // id   layout fine  x    y    w    h   normal pressed on  onPressed
    {312, E, false, 173, 179, 113, 24, 143, 141, 148, 146},  // Auto Optimize / Default Setting
    {311, E, false, 291, 179, 113, 24, 144, 142, 0, 142},    // Advanced Mode
    {321, E, false, 424, 126, 26, 24, 115, 116, 0, 116},     // POWER lamp
    {320, E, false, 427, 157, 77, 20, 140, 138, 138, 138},   // CPU info tab
    {319, E, false, 427, 183, 77, 20, 139, 137, 137, 137},   // Help tab
    {324, E, false, 20, 121, 25, 25, 169, 168, 168, 168},    // options
    {304, A, false, 148, 164, 17, 17, 119, 113, 0, 113},     // up
    {305, A, false, 148, 182, 17, 17, 107, 108, 0, 108},     // down
    {302, A, false, 292, 148, 51, 22, 120, 114, 0, 114},     // Load
    {301, A, false, 349, 148, 51, 22, 117, 118, 0, 118},     // Save
    {303, A, false, 234, 170, 46, 34, 112, 111, 0, 111},     // GO
    {314, A, false, 231, 147, 57, 22, 149, 147, 0, 147},     // Default
    {315, A, false, 290, 175, 112, 24, 151, 150, 0, 150},    // Easy Mode
    {318, A, false, 427, 127, 26, 24, 115, 116, 0, 116},     // POWER lamp
    {317, A, false, 430, 158, 77, 20, 140, 138, 138, 138},   // CPU info tab
    {316, A, false, 430, 184, 77, 20, 139, 137, 137, 137},   // Help tab
    {322, A, false, 27, 119, 25, 25, 167, 168, 168, 168},    // options
    {326, A, true, 19, 176, 26, 21, 165, 153, 0, 153},       // Fine Tune
    {325, A, true, 18, 157, 30, 19, 163, 164, 164, 164},     // fine-tune indicator
}};

constexpr std::array<DisplayPlace, 5> kDisplays{{
    {E, DisplayValue::MeasuredCpuClock, 20, 161, kPictureLargeDigits, 4, true, 3, false},
    {A, DisplayValue::BusClock, 58, 166, kPictureLargeDigits, 3, true, 3, false},
    {A, DisplayValue::PciClock, 180, 149, kPictureSmallDigits, 3, false, 3, true},
    {A, DisplayValue::MemClock, 180, 185, kPictureSmallDigits, 3, false, 3, true},
    {A, DisplayValue::SelectedCpuClock, 256, 83, kPictureLargeDigits, 4, true, 4, false},
}};

}  // namespace

std::span<const ButtonPlace, kMainButtonCount> MainButtons() { return kButtons; }
std::span<const DisplayPlace> MainDisplays() { return kDisplays; }

SkinButton SkinButtonFor(const ButtonPlace& place) {
    SkinButton button;
    button.caption = "";
    button.pictureNormal = place.pictureNormal;
    button.picturePressed = place.picturePressed;
    button.pictureOn = place.pictureOn;
    button.pictureOnPressed = place.pictureOnPressed;
    button.x = place.x;
    button.y = place.y;
    button.width = place.width;
    button.height = place.height;
    button.shape = SHAPE_PICTURE;
    button.outlineBrush = 0;
    return button;
}

}  // namespace vc::ui
