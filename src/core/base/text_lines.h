// Text split into lines and words without string streams (which the Windows
// programs must not link: they import what 98 and NT 4 lack).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vc {

// As std::getline reads it: each line without its '\n' (a '\r' stays), a
// last line without '\n' included, nothing after a final '\n'.
std::vector<std::string> SplitLines(std::string_view text);

// The words between white space, as `stream >> word` reads them.
std::vector<std::string> SplitWords(std::string_view text);

}  // namespace vc
