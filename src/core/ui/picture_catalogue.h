// Every picture the program loads by number, with the exact size its cell or
// button needs and who uses it, plus where the six gauge lamps sit. Pictures
// are copied unscaled, so a picture of another size is a broken skin.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/ui/lamps.h"

namespace vc::ui {

struct PictureSpec {
    int32_t number;     // resources/NNN.bmp
    int32_t width;
    int32_t height;
    const char* what;   // what the picture shows
    const char* user;   // who loads it
};

// Sorted by number; every number appears once.
std::span<const PictureSpec> PictureCatalogue();

// The catalogue entry for `number`, or nullptr when the program has no such picture.
const PictureSpec* FindPicture(int32_t number);

// One segment of the gauge arc on the Advance face: its place (lamps.h) with
// the size of its pictures from this catalogue.
struct LampRect {
    int32_t onPicture;
    int32_t offPicture;
    int32_t x, y, width, height;
};

std::array<LampRect, kLampCount> LampRects();

// Progress-strip frames in frame order: frame 0 is picture 187.
inline constexpr int32_t kStripFrameCount = 12;
inline constexpr std::array<int32_t, kStripFrameCount> kStripFramePictures{
    187, 180, 181, 182, 183, 184, 185, 186, 176, 177, 178, 179};

// The program icon, in two sizes, kept as resources/101_16.bmp and 101_32.bmp.
inline constexpr int32_t kIconNumber = 101;
inline constexpr std::array<int32_t, 2> kIconSizes{16, 32};

}  // namespace vc::ui
