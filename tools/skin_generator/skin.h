// The whole skin: every picture the program loads by number, the icon, and
// the outlines the backgrounds are cut to.
#pragma once

#include <QImage>
#include <map>

#include "outline_builder.h"

namespace skin {

struct Skin {
    std::map<int, QImage> pictures;  // by picture number
    QImage icon16;
    QImage icon32;
    Polygon easyOutline;
    Polygon advanceOutline;
};

Skin BuildSkin();

// Pieces, in the order BuildSkin needs them.
void DrawDigitStrips(Skin& skin);
void DrawMainFaces(Skin& skin);      // backgrounds, lamps, button faces
void DrawSmallPictures(Skin& skin);  // strip frames, panel frames, close faces, icon
void DrawHelpPictures(Skin& skin);

// The main window as it looks in a layout (1 Easy, 2 Advance), buttons in
// place and example numbers in the displays; `desktop` where the window is
// not.
QImage ComposeLayout(const Skin& skin, int layout, const QColor& desktop);

}  // namespace skin
