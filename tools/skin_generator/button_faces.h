// The faces of the main window's picture buttons, each drawn over the piece
// of background it covers so that its corners blend in.
#pragma once

#include <QImage>

namespace skin {

// Face `number` of size base.size(), drawn over `base`; a null image when the
// number is not a button face.
QImage DrawButtonFace(int number, const QImage& base);

}  // namespace skin
