// The six lamps of the Advance face's gauge arc: where each sits in the main
// window and which pictures show it lit and dark.
#pragma once

#include <array>
#include <cstdint>

#include "core/ui/geometry.h"
#include "core/ui/picture_store.h"
#include "core/ui/surface.h"

namespace vc::ui {

inline constexpr size_t kLampCount = 6;

struct LampPlace {
    int32_t onPicture;
    int32_t x, y;  // main-window client coordinates of the top-left corner
    int32_t offPicture;
};

inline constexpr std::array<LampPlace, kLampCount> kLampPlaces{{
    {197, 91, 83, 207},
    {199, 91, 21, 198},
    {201, 149, 21, 200},
    {203, 202, 21, 202},
    {205, 254, 21, 204},
    {196, 306, 21, 206},
}};

struct Lamp {
    const Surface* onImage = nullptr;
    const Surface* offImage = nullptr;
    Rect rect{0, 0, 0, 0};  // the lamp's place, as large as its on image
};

using LampSet = std::array<Lamp, kLampCount>;

// Loads the on images in lamp order, then the off images. A lamp whose on
// image is missing gets an empty rectangle and is never drawn.
LampSet LoadLamps(PictureStore& pictures);

}  // namespace vc::ui
