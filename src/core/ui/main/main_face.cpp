#include "core/ui/main/main_face.h"

namespace vc::ui {

void MainFonts::Load(PictureStore& pictures) {
    bus.Load(pictures, kPictureLargeDigits);
    pci.Load(pictures, kPictureSmallDigits);
    memory.Load(pictures, kPictureSmallDigits);
}

const BitmapFont& MainFonts::For(DisplayValue value) const {
    switch (value) {
        case DisplayValue::PciClock: return pci;
        case DisplayValue::MemClock: return memory;
        default: return bus;
    }
}

double DisplayedValue(const SystemInfo& info, DisplayValue value) {
    switch (value) {
        case DisplayValue::MeasuredCpuClock: return info.cpu.cpuClockMHz;
        case DisplayValue::BusClock: return info.busClockMHz;
        case DisplayValue::PciClock: return info.pciClockMHz;
        case DisplayValue::MemClock: return info.memClockMHz;
        case DisplayValue::SelectedCpuClock: return info.cpuClockMHz;
    }
    return 0.0;
}

void PaintMainFace(Surface& screen, PictureStore& pictures, const MainFonts& fonts, const SystemInfo& info,
                   Layout layout) {
    if (layout == Layout::Easy) {
        DrawPicture(screen, pictures.Get(kPictureEasyBackground), 0, kEasyTop);
    } else {
        DrawPicture(screen, pictures.Get(kPictureAdvanceBackground), 0, 0);
    }
    for (const DisplayPlace& display : MainDisplays()) {
        if (display.layout != layout) continue;
        const double value = DisplayedValue(info, display.value);
        if (display.onlyWhenNonZero && value == 0.0) continue;
        fonts.For(display.value)
            .DrawNumber(screen, display.x, display.y, display.cells, display.showTenths ? 1 : 0, display.spacing,
                        value);
    }
}

}  // namespace vc::ui
