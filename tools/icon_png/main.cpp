// icon_png SOURCE.bmp SIZE OUT.png: the program's icon for the desktop's icon
// theme. Scales by nearest pixel (the icon is pixel art; blending would blur
// it) and makes the colour key transparent.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/ui/bmp_codec.h"
#include "png_writer.h"

namespace {

constexpr int kMaxSize = 1024;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: icon_png SOURCE.bmp SIZE OUT.png\n");
        return 2;
    }
    const int size = std::atoi(argv[2]);
    if (size < 1 || size > kMaxSize) {
        std::fprintf(stderr, "icon_png: size %s is not 1..%d\n", argv[2], kMaxSize);
        return 2;
    }
    vc::ui::Surface source;
    std::string error;
    if (!vc::ui::ReadBmpFile(argv[1], source, error)) {
        std::fprintf(stderr, "icon_png: %s\n", error.c_str());
        return 1;
    }
    std::vector<uint8_t> rgba;
    rgba.reserve(static_cast<size_t>(size) * static_cast<size_t>(size) * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const vc::ui::Pixel p = source.At(x * source.Width() / size, y * source.Height() / size);
            const bool keyed = p == vc::ui::kColourKey;
            rgba.insert(rgba.end(), {vc::ui::RedOf(p), vc::ui::GreenOf(p), vc::ui::BlueOf(p),
                                     static_cast<uint8_t>(keyed ? 0 : 255)});
        }
    }
    const auto png = vc::tools::EncodePng(static_cast<uint32_t>(size), static_cast<uint32_t>(size), rgba);
    std::ofstream out(argv[3], std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out) {
        std::fprintf(stderr, "icon_png: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
