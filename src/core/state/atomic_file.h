// Replacing a small file so that a crash or a failing write never leaves a
// damaged one: the bytes go to a temporary file beside the target, which is
// flushed, closed and then renamed over the target.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/base/file_io.h"

namespace vc {

// The temporary file used while `path` is replaced.
std::string TemporaryPathFor(const std::string& path);

// Returns true when `path` now holds exactly `bytes`; on false the previous
// file (if any) is untouched and the temporary file is removed.
bool ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace vc
