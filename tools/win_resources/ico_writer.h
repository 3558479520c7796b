// The program's icon file for the Windows resources: every picture becomes a
// 4-bit palette image with a transparency mask, the form that every shell
// from Windows 95 and NT 4 on reads. Pixels of the colour key are
// transparent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ui/surface.h"

namespace vc::tools {

// Square pictures of at most 255 pixels a side and at most 15 colours besides
// black and the key. Answers an empty vector and sets `error` otherwise.
std::vector<uint8_t> EncodeIco(const std::vector<ui::Surface>& pictures, std::string& error);

}  // namespace vc::tools
