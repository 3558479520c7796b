#include "core/ui/startup_pictures.h"

#include "core/ui/lamps.h"
#include "core/ui/picture_catalogue.h"

namespace vc::ui {

void LoadStartupPictures(PictureStore& pictures) {
    for (int32_t frame : kStripFramePictures) pictures.Get(frame);
    (void)LoadLamps(pictures);
}

}  // namespace vc::ui
