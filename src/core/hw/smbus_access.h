// The SMBus access block that the clock programming fills before each write,
// and the clock-writer object that owns it.
#pragma once

#include <cstdint>

#include "core/board/records.h"

namespace vc {

inline constexpr int32_t kClockGenWriteAddress = 0xD2;
inline constexpr int32_t kClockGenReadAddress = 0xD3;
inline constexpr int32_t kSmbusOperationBlockWrite = 2;
inline constexpr int32_t kSmbusControllerBlockBuffer = 1;
inline constexpr int32_t kSmbusControllerByteWise = 2;

struct SmbusAccess {
    char chipName[kTextFieldSize] = {};
    int32_t controllerKind = 0;
    int32_t operation = 0;
    int32_t firstByteMask = 0;
    int32_t ioBase = 0;
    int32_t readAddress = 0;
    int32_t writeAddress = 0;
};

struct ClockWriter {
    const BoardRecord* board = nullptr;
    SmbusAccess access;
};

}  // namespace vc
