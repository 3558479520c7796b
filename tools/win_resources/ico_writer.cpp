#include "ico_writer.h"

#include <algorithm>

#include "core/base/little_endian.h"

namespace vc::tools {

namespace {

constexpr size_t kPaletteSize = 16;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kDirectoryBytes = 6;
constexpr uint32_t kEntryBytes = 16;

// Rows of a bitmap are padded to whole 32-bit words.
uint32_t RowBytes(int32_t width, int32_t bitsPerPixel) {
    return static_cast<uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

// Black first: the masked (transparent) pixels use it, so the screen
// shows through unchanged.
bool BuildPalette(const ui::Surface& picture, std::vector<ui::Pixel>& palette) {
    for (const ui::Pixel p : picture.Pixels()) {
        if (p == ui::kColourKey || std::find(palette.begin(), palette.end(), p) != palette.end()) continue;
        if (palette.size() == kPaletteSize) return false;
        palette.push_back(p);
    }
    return true;
}

std::vector<uint8_t> EncodeImage(const ui::Surface& picture, const std::vector<ui::Pixel>& palette) {
    const int32_t side = picture.Width();
    const uint32_t colourRow = RowBytes(side, 4);
    const uint32_t maskRow = RowBytes(side, 1);
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.PutU32(kInfoHeaderBytes);
    w.PutI32(side);
    w.PutI32(side * 2);  // colour rows, then mask rows
    w.PutU16(1);
    w.PutU16(4);
    w.PutU32(0);
    w.PutU32((colourRow + maskRow) * static_cast<uint32_t>(side));
    w.PutZeros(16);
    for (size_t i = 0; i < kPaletteSize; ++i) {
        const ui::Pixel p = i < palette.size() ? palette[i] : 0;
        const uint8_t quad[4] = {ui::BlueOf(p), ui::GreenOf(p), ui::RedOf(p), 0};
        w.PutBytes(quad, sizeof quad);
    }
    std::vector<uint8_t> colours(colourRow * static_cast<size_t>(side), 0);
    std::vector<uint8_t> mask(maskRow * static_cast<size_t>(side), 0);
    for (int32_t y = 0; y < side; ++y) {
        const size_t row = static_cast<size_t>(side - 1 - y);  // bottom-up
        for (int32_t x = 0; x < side; ++x) {
            const ui::Pixel p = picture.At(x, y);
            const auto col = static_cast<size_t>(x);
            if (p == ui::kColourKey) {
                mask[row * maskRow + col / 8] |= static_cast<uint8_t>(0x80u >> (col % 8));
                continue;
            }
            const auto index = static_cast<uint8_t>(std::find(palette.begin(), palette.end(), p) - palette.begin());
            colours[row * colourRow + col / 2] |= static_cast<uint8_t>(col % 2 ? index : index << 4);
        }
    }
    w.PutBytes(colours.data(), colours.size());
    w.PutBytes(mask.data(), mask.size());
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeIco(const std::vector<ui::Surface>& pictures, std::string& error) {
    std::vector<std::vector<uint8_t>> images;
    for (const ui::Surface& picture : pictures) {
        if (picture.IsEmpty() || picture.Width() != picture.Height() || picture.Width() > 255) {
            error = "an icon picture must be square, 1 to 255 pixels a side";
            return {};
        }
        std::vector<ui::Pixel> palette{ui::Rgb(0, 0, 0)};
        if (!BuildPalette(picture, palette)) {
            error = "an icon picture has more than 15 colours besides black and the key";
            return {};
        }
        images.push_back(EncodeImage(picture, palette));
    }
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.PutU16(0);
    w.PutU16(1);  // icon
    w.PutU16(static_cast<uint16_t>(images.size()));
    uint32_t offset = kDirectoryBytes + kEntryBytes * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const auto side = static_cast<uint8_t>(pictures[i].Width());
        const uint8_t head[4] = {side, side, static_cast<uint8_t>(kPaletteSize), 0};
        w.PutBytes(head, sizeof head);
        w.PutU16(1);  // planes
        w.PutU16(4);  // bits per pixel
        w.PutU32(static_cast<uint32_t>(images[i].size()));
        w.PutU32(offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) w.PutBytes(image.data(), image.size());
    return out;
}

}  // namespace vc::tools
