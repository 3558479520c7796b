// Paints the main window's face for a layout: the layout's background and
// its number displays, as every paint of the window does.
#pragma once

#include "core/board/system_info.h"
#include "core/ui/bitmap_font.h"
#include "core/ui/main/main_window_places.h"
#include "core/ui/picture_store.h"
#include "core/ui/surface.h"

namespace vc::ui {

// The four digit fonts of the main window.
struct MainFonts {
    BitmapFont bus;     // the bus display and both processor displays
    BitmapFont pci;
    BitmapFont memory;

    void Load(PictureStore& pictures);
    const BitmapFont& For(DisplayValue value) const;
};

// The value a display shows.
double DisplayedValue(const SystemInfo& info, DisplayValue value);

// Easy: the Easy background at (0, 110) and the measured processor clock.
// Advance: the Advance background at (0, 0), the bus display, the PCI and
// memory displays when their values are not 0, and the processor display.
void PaintMainFace(Surface& screen, PictureStore& pictures, const MainFonts& fonts, const SystemInfo& info,
                   Layout layout);

}  // namespace vc::ui
