// The SMBus access block that the clock programming fills before each write:
// which controller, which chip, which operation.
#pragma once

#include <cstdint>

#include "core/base/text_field.h"
#include "core/hw/smbus_registers.h"

namespace vc {

inline constexpr int32_t kClockGenWriteAddress = smbus::kClockGenWrite;
inline constexpr int32_t kClockGenReadAddress = smbus::kClockGenRead;
inline constexpr int32_t kSmbusOperationBlockWrite = 2;
inline constexpr int32_t kSmbusControllerBlockBuffer = 1;
inline constexpr int32_t kSmbusControllerByteWise = 2;
inline constexpr int32_t kSmbusMaxBlockBytes = static_cast<int32_t>(smbus::kBlockBufferSize);

struct SmbusAccess {
    char chipName[kTextFieldSize] = {};
    int32_t controllerKind = 0;
    int32_t operation = 0;
    int32_t firstByteMask = 0;
    int32_t ioBase = 0;
    int32_t readAddress = 0;
    int32_t writeAddress = 0;
};

}  // namespace vc
