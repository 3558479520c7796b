#include "core/ui/picture_catalogue.h"

#include <algorithm>

namespace vc::ui {

namespace {

// clang-format off
constexpr std::array<PictureSpec, 69> kPictures{{
    {107,  17,  17, "down triangle",                         "main window, Advance: button 305 normal"},
    {108,  17,  17, "down triangle, pressed",                "main window, Advance: button 305 pressed"},
    {109, 526, 106, "Easy background",                       "main window, Easy layout at (0, 110); layout transitions"},
    {110, 160,  32, "large digit strip, ten 16 x 32 cells",  "main window: bus and processor displays"},
    {111,  46,  34, "GO, pressed",                           "main window, Advance: button 303 pressed"},
    {112,  46,  34, "GO",                                    "main window, Advance: button 303 normal"},
    {113,  17,  17, "up triangle, pressed",                  "main window, Advance: button 304 pressed"},
    {114,  51,  22, "Load, pressed",                         "main window, Advance: button 302 pressed"},
    {115,  26,  24, "green square POWER lamp",               "main window: buttons 321 and 318 normal"},
    {116,  26,  24, "green square POWER lamp, pressed",      "main window: buttons 321 and 318 pressed"},
    {117,  51,  22, "Save",                                  "main window, Advance: button 301 normal"},
    {118,  51,  22, "Save, pressed",                         "main window, Advance: button 301 pressed"},
    {119,  17,  17, "up triangle",                           "main window, Advance: button 304 normal"},
    {120,  51,  22, "Load",                                  "main window, Advance: button 302 normal"},
    {136, 526, 216, "Advance background",                    "main window, Advance layout at (0, 0); layout transitions"},
    {137,  77,  20, "Help tab, pressed or on",               "main window: buttons 319 and 316 pressed and on"},
    {138,  77,  20, "CPU info tab, pressed or on",           "main window: buttons 320 and 317 pressed and on"},
    {139,  77,  20, "Help tab",                              "main window: buttons 319 and 316 normal"},
    {140,  77,  20, "CPU info tab",                          "main window: buttons 320 and 317 normal"},
    {141, 113,  24, "blue lozenge Auto Optimize, pressed",   "main window, Easy: button 312 pressed"},
    {142, 113,  24, "red lozenge Advanced Mode, pressed",    "main window, Easy: button 311 pressed"},
    {143, 113,  24, "blue lozenge Auto Optimize",            "main window, Easy: button 312 normal"},
    {144, 113,  24, "red lozenge Advanced Mode",             "main window, Easy: button 311 normal"},
    {146, 113,  24, "green lozenge Default Setting, pressed","main window, Easy: button 312 on and pressed"},
    {147,  57,  22, "Default, pressed",                      "main window, Advance: button 314 pressed"},
    {148, 113,  24, "green lozenge Default Setting",         "main window, Easy: button 312 on"},
    {149,  57,  22, "Default",                               "main window, Advance: button 314 normal"},
    {150, 112,  24, "Easy Mode, pressed",                    "main window, Advance: button 315 pressed"},
    {151, 112,  24, "Easy Mode",                             "main window, Advance: button 315 normal"},
    {152, 100,  20, "small digit strip, ten 10 x 20 cells",  "main window, Advance: PCI and memory displays"},
    {153,  26,  21, "the words Fine Tune, pressed",          "main window, Advance: button 326 pressed"},
    {154,   7, 281, "panel frame, left edge",                "panels: stretched to the panel's height"},
    {155,   6, 281, "panel frame, right edge",               "panels: stretched to the panel's height"},
    {156, 400,  19, "panel frame, title strip",              "panels: stretched to the panel's width"},
    {163,  30,  19, "yellow oval fine-tune lamp, dark",      "main window, Advance: button 325 normal"},
    {164,  30,  19, "yellow oval fine-tune lamp, lit",       "main window, Advance: button 325 pressed and on"},
    {165,  26,  21, "the words Fine Tune",                   "main window, Advance: button 326 normal"},
    {166, 387,   6, "panel frame, bottom edge",              "panels: stretched to the panel's width"},
    {167,  25,  25, "red circle options button",             "main window, Advance: button 322 normal"},
    {168,  25,  25, "blue circle options button",            "main window: buttons 324 and 322 pressed and on"},
    {169,  25,  25, "red circle options button",             "main window, Easy: button 324 normal"},
    {171, 716, 363, "Advance help picture",                  "Advance help panel at (7, 19)"},
    {172,  17,  13, "close cross on an orange square, pressed", "panels: close buttons pressed"},
    {173,  17,  13, "close cross on an orange square",       "panels: close buttons normal"},
    {176,   5,  10, "progress strip frame 8",                "progress strip"},
    {177,   5,  10, "progress strip frame 9",                "progress strip"},
    {178,   5,  10, "progress strip frame 10",               "progress strip"},
    {179,   5,  10, "progress strip frame 11",               "progress strip"},
    {180,   5,  10, "progress strip frame 1",                "progress strip"},
    {181,   5,  10, "progress strip frame 2",                "progress strip"},
    {182,   5,  10, "progress strip frame 3",                "progress strip"},
    {183,   5,  10, "progress strip frame 4",                "progress strip"},
    {184,   5,  10, "progress strip frame 5",                "progress strip"},
    {185,   5,  10, "progress strip frame 6",                "progress strip"},
    {186,   5,  10, "progress strip frame 7",                "progress strip"},
    {187,   5,  10, "progress strip frame 0",                "progress strip"},
    {195, 716, 282, "Easy help picture",                     "Easy help panel at (7, 19)"},
    {196,  52,  40, "gauge lamp 5, lit",                     "flash animation"},
    {197,  44,  30, "gauge lamp 0, lit",                     "flash animation"},
    {198,  56,  60, "gauge lamp 1, dark",                    "flash animation"},
    {199,  56,  60, "gauge lamp 1, lit",                     "flash animation"},
    {200,  51,  40, "gauge lamp 2, dark",                    "flash animation"},
    {201,  51,  40, "gauge lamp 2, lit",                     "flash animation"},
    {202,  50,  40, "gauge lamp 3, dark",                    "flash animation"},
    {203,  50,  40, "gauge lamp 3, lit",                     "flash animation"},
    {204,  50,  40, "gauge lamp 4, dark",                    "flash animation"},
    {205,  50,  40, "gauge lamp 4, lit",                     "flash animation"},
    {206,  52,  40, "gauge lamp 5, dark",                    "flash animation"},
    {207,  44,  30, "gauge lamp 0, dark",                    "flash animation"},
}};

// Positions fixed by the main window; sizes those of the pictures above.
// clang-format on

}  // namespace

std::span<const PictureSpec> PictureCatalogue() { return kPictures; }

const PictureSpec* FindPicture(int32_t number) {
    const auto it = std::lower_bound(
        kPictures.begin(), kPictures.end(), number,
        [](const PictureSpec& desc, int32_t wanted) { return desc.number < wanted; });
    return (it != kPictures.end() && it->number == number) ? &*it : nullptr;
}

std::array<LampRect, kLampCount> LampRects() {
    std::array<LampRect, kLampCount> rects{};
    for (size_t i = 0; i < kLampCount; ++i) {
        const LampPlace& place = kLampPlaces[i];
        const PictureSpec* on = FindPicture(place.onPicture);
        rects[i] = LampRect{place.onPicture, place.offPicture, place.x, place.y, on ? on->width : 0,
                            on ? on->height : 0};
    }
    return rects;
}

}  // namespace vc::ui
