// Picture files as the program reads them: 24-bit BI_RGB bitmaps with the
// 40-byte information header, bottom-up, rows padded to 4 bytes. Written
// field by field so the bytes do not depend on an image library's choices.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

namespace skin {

std::vector<uint8_t> EncodeBmp24(const QImage& image);

// Writes the file only when its bytes differ from what is there, so an
// unchanged skin leaves the files' times alone. Returns false on a write error.
bool WriteFileBytes(const QString& path, const std::vector<uint8_t>& bytes);

}  // namespace skin
