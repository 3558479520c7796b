#include "bmp_writer.h"

#include <QFile>

namespace skin {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<uint32_t>(image.width());
    const auto height = static_cast<uint32_t>(image.height());
    const uint32_t stride = (width * 3 + 3) & ~3u;
    const uint32_t pixelBytes = stride * height;
    constexpr uint32_t kHeaders = 14 + 40;

    std::vector<uint8_t> out;
    out.reserve(kHeaders + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, kHeaders + pixelBytes);  // file size
    Put32(out, 0);                      // reserved
    Put32(out, kHeaders);               // offset of the pixels
    Put32(out, 40);                     // information header size
    Put32(out, width);
    Put32(out, height);                 // positive: bottom-up
    Put16(out, 1);                      // planes
    Put16(out, 24);                     // bits per pixel
    Put32(out, 0);                      // BI_RGB
    Put32(out, pixelBytes);
    Put32(out, 2835);                   // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);                      // colours used
    Put32(out, 0);                      // important colours
    for (uint32_t row = height; row-- > 0;) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(row)));
        for (uint32_t x = 0; x < width; ++x) {
            out.push_back(static_cast<uint8_t>(qBlue(line[x])));
            out.push_back(static_cast<uint8_t>(qGreen(line[x])));
            out.push_back(static_cast<uint8_t>(qRed(line[x])));
        }
        for (uint32_t pad = width * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

bool WriteFileBytes(const QString& path, const std::vector<uint8_t>& bytes) {
    const QByteArray wanted(reinterpret_cast<const char*>(bytes.data()),
                            static_cast<qsizetype>(bytes.size()));
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == wanted) return true;
    existing.close();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(wanted) == wanted.size() && file.flush();
}

}  // namespace skin
