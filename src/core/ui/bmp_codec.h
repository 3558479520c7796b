// Picture files: Windows bitmaps with the 40-byte information header (or a
// longer one), uncompressed, 24 or 32 bits per pixel, bottom-up or top-down,
// rows padded to 4 bytes. Every field is read on its own, little-endian, and
// every size and offset is checked against the bytes that are really there.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/ui/surface.h"

namespace vc::ui {

// Larger pictures are refused rather than allocated.
inline constexpr int32_t kMaxBmpSide = 16384;
inline constexpr size_t kMaxBmpFileBytes = size_t{1} << 30;

// Decodes `bytes` into `picture`. Returns 1, or 0 with `error` set to
// "<name>: <what is wrong>" and `picture` left unchanged.
int32_t DecodeBmp(std::span<const uint8_t> bytes, const std::string& name, Surface& picture,
                  std::string& error);

// Reads and decodes the file at `path`; the error names the path.
int32_t ReadBmpFile(const std::string& path, Surface& picture, std::string& error);

// The 24-bit bottom-up file for `picture`; empty when the picture is empty
// (a bitmap file cannot have zero width or height) or too large for the
// header's 32-bit sizes.
std::vector<uint8_t> EncodeBmp(const Surface& picture);

// Replaces the file at `path` with EncodeBmp(picture). Returns 1, or 0 with
// `error` set.
int32_t WriteBmpFile(const std::string& path, const Surface& picture, std::string& error);

}  // namespace vc::ui
