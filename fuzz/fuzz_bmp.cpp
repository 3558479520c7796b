// Feeds arbitrary bytes to the picture file reader: it must never read past
// the input, and whatever it accepts must survive a write and a second read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/ui/bmp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vc::ui::Surface picture;
    std::string error;
    if (vc::ui::DecodeBmp({data, size}, "input.bmp", picture, error) == 0) {
        if (error.rfind("input.bmp: ", 0) != 0) __builtin_trap();
        return 0;
    }
    if (picture.IsEmpty() || picture.Width() > vc::ui::kMaxBmpSide || picture.Height() > vc::ui::kMaxBmpSide) {
        __builtin_trap();
    }
    vc::ui::Surface again;
    if (vc::ui::DecodeBmp(vc::ui::EncodeBmp(picture), "again.bmp", again, error) == 0 || !(again == picture)) {
        __builtin_trap();
    }
    return 0;
}
