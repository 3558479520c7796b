#include "core/ui/lamps.h"

namespace vc::ui {

LampSet LoadLamps(PictureStore& pictures) {
    LampSet lamps;
    for (size_t i = 0; i < kLampCount; ++i) {
        const LampPlace& place = kLampPlaces[i];
        lamps[i].onImage = pictures.Get(place.onPicture);
        const int32_t width = lamps[i].onImage != nullptr ? lamps[i].onImage->Width() : 0;
        const int32_t height = lamps[i].onImage != nullptr ? lamps[i].onImage->Height() : 0;
        lamps[i].rect = RectAt(place.x, place.y, width, height);
    }
    for (size_t i = 0; i < kLampCount; ++i) lamps[i].offImage = pictures.Get(kLampPlaces[i].offPicture);
    return lamps;
}

}  // namespace vc::ui
