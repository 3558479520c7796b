#include "core/ui/bmp_codec.h"

#include "core/base/file_io.h"
#include "core/base/little_endian.h"

namespace vc::ui {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCompressionNone = 0;  // BI_RGB
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dots per inch

struct BmpHeader {
    uint32_t pixelOffset = 0;
    uint32_t infoSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
};

// Reads the two headers; returns the problem, or an empty text.
std::string ReadHeader(std::span<const uint8_t> bytes, BmpHeader& h) {
    ByteReader reader(bytes);
    uint8_t magic[2];
    if (!reader.ReadBytes(magic, 2)) return "file too short for the file header";
    if (magic[0] != 'B' || magic[1] != 'M') return "not a bitmap file (no BM signature)";
    uint32_t ignored = 0;
    if (!reader.ReadU32(ignored) || !reader.Skip(4) || !reader.ReadU32(h.pixelOffset)) {
        return "file too short for the file header";
    }
    if (!reader.ReadU32(h.infoSize)) return "file too short for the information header";
    if (h.infoSize < kInfoHeaderSize) {
        return "information header of " + std::to_string(h.infoSize) + " bytes; at least 40 expected";
    }
    if (h.infoSize > bytes.size() - kFileHeaderSize) return "information header runs past the end of the file";
    if (!reader.ReadI32(h.width) || !reader.ReadI32(h.height) || !reader.ReadU16(h.planes) ||
        !reader.ReadU16(h.bitCount) || !reader.ReadU32(h.compression)) {
        return "file too short for the information header";
    }
    return {};
}

std::string CheckHeader(const BmpHeader& h, size_t fileSize, uint64_t& stride, uint32_t& rows) {
    if (h.planes != 1) return "plane count " + std::to_string(h.planes) + "; 1 expected";
    if (h.bitCount != 24 && h.bitCount != 32) {
        return std::to_string(h.bitCount) + " bits per pixel; only 24 and 32 are supported";
    }
    if (h.compression != kCompressionNone) {
        return "compression " + std::to_string(h.compression) + "; only uncompressed pictures are supported";
    }
    if (h.width <= 0 || h.width > kMaxBmpSide) return "width " + std::to_string(h.width) + " out of range";
    // The height's sign gives the row order; its magnitude must fit too.
    const int64_t height = h.height;
    rows = static_cast<uint32_t>(height < 0 ? -height : height);
    if (rows == 0 || rows > static_cast<uint32_t>(kMaxBmpSide)) {
        return "height " + std::to_string(h.height) + " out of range";
    }
    const uint64_t headersEnd = kFileHeaderSize + uint64_t{h.infoSize};
    if (h.pixelOffset < headersEnd) return "pixel data offset " + std::to_string(h.pixelOffset) + " lies inside the headers";
    stride = (uint64_t{static_cast<uint32_t>(h.width)} * h.bitCount + 31) / 32 * 4;
    const uint64_t needed = uint64_t{h.pixelOffset} + stride * rows;
    if (needed > fileSize) {
        return "pixel data needs " + std::to_string(needed) + " bytes but the file has " + std::to_string(fileSize);
    }
    return {};
}

}  // namespace

int32_t DecodeBmp(std::span<const uint8_t> bytes, const std::string& name, Surface& picture,
                  std::string& error) {
    BmpHeader header;
    uint64_t stride = 0;
    uint32_t rows = 0;
    std::string problem = ReadHeader(bytes, header);
    if (problem.empty()) problem = CheckHeader(header, bytes.size(), stride, rows);
    if (!problem.empty()) {
        error = name + ": " + problem;
        return 0;
    }
    const bool bottomUp = header.height > 0;
    const size_t bytesPerPixel = header.bitCount / 8;
    Surface decoded(header.width, static_cast<int32_t>(rows));
    for (uint32_t fileRow = 0; fileRow < rows; ++fileRow) {
        const auto y = static_cast<int32_t>(bottomUp ? rows - 1 - fileRow : fileRow);
        const size_t rowStart = header.pixelOffset + static_cast<size_t>(stride) * fileRow;
        for (int32_t x = 0; x < header.width; ++x) {
            const uint8_t* p = bytes.data() + rowStart + static_cast<size_t>(x) * bytesPerPixel;
            decoded.Set(x, y, Rgb(p[2], p[1], p[0]));  // stored blue, green, red
        }
    }
    picture = std::move(decoded);
    return 1;
}

int32_t ReadBmpFile(const std::string& path, Surface& picture, std::string& error) {
    const auto bytes = ReadFileBytes(path, kMaxBmpFileBytes + 1);
    if (!bytes) {
        error = path + ": cannot be opened";
        return 0;
    }
    if (bytes->size() > kMaxBmpFileBytes) {
        error = path + ": file too large";
        return 0;
    }
    return DecodeBmp(*bytes, path, picture, error);
}

std::vector<uint8_t> EncodeBmp(const Surface& picture) {
    std::vector<uint8_t> out;
    // A file whose sizes do not fit the 32-bit header fields cannot be written.
    if (picture.IsEmpty() || uint64_t{static_cast<uint32_t>(picture.Width())} * 3 *
                                     static_cast<uint32_t>(picture.Height()) > 0x7FFF0000u) {
        return out;
    }
    const auto width = static_cast<uint32_t>(picture.Width());
    const auto height = static_cast<uint32_t>(picture.Height());
    const uint32_t stride = (width * 3 + 3) / 4 * 4;
    const uint32_t imageSize = stride * height;
    const uint32_t pixelOffset = static_cast<uint32_t>(kFileHeaderSize) + kInfoHeaderSize;
    out.reserve(pixelOffset + imageSize);
    ByteWriter writer(out);
    writer.PutBytes("BM", 2);
    writer.PutU32(pixelOffset + imageSize);
    writer.PutZeros(4);  // two reserved words
    writer.PutU32(pixelOffset);
    writer.PutU32(kInfoHeaderSize);
    writer.PutI32(picture.Width());
    writer.PutI32(picture.Height());  // positive: bottom-up
    writer.PutU16(1);                 // planes
    writer.PutU16(24);                // bits per pixel
    writer.PutU32(kCompressionNone);
    writer.PutU32(imageSize);
    writer.PutI32(kPixelsPerMetre);
    writer.PutI32(kPixelsPerMetre);
    writer.PutU32(0);  // colours used
    writer.PutU32(0);  // important colours
    const uint32_t padding = stride - width * 3;
    for (int32_t y = picture.Height() - 1; y >= 0; --y) {
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const Pixel p = picture.At(x, y);
            const uint8_t bgr[3] = {BlueOf(p), GreenOf(p), RedOf(p)};
            writer.PutBytes(bgr, 3);
        }
        writer.PutZeros(padding);
    }
    return out;
}

int32_t WriteBmpFile(const std::string& path, const Surface& picture, std::string& error) {
    const std::vector<uint8_t> bytes = EncodeBmp(picture);
    if (bytes.empty()) {
        error = path + ": an empty picture cannot be written";
        return 0;
    }
    if (!ReplaceFileAtomically(path, bytes)) {
        error = path + ": cannot be written";
        return 0;
    }
    return 1;
}

}  // namespace vc::ui
