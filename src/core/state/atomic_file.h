// Atomic replacement lives in the file seam (core/base/file_io.h).
#pragma once

#include <string>

#include "core/base/file_io.h"

namespace vc {

// The name `vcctl data` stages a data file under before it replaces the pair.
inline std::string TemporaryPathFor(const std::string& path) { return path + ".tmp"; }

}  // namespace vc
