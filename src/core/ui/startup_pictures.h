// The pictures start-up loads before detection: the progress strip's frames
// and the lamps, in the order start-up asks for them.
#pragma once

#include "core/ui/picture_store.h"

namespace vc::ui {

void LoadStartupPictures(PictureStore& pictures);

}  // namespace vc::ui
