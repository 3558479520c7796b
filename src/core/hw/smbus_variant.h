// Pieces shared by the SMBus write variants: the dispatch on the system
// kind and the byte-by-byte block transfer of the kind 2 controller.
#pragma once

#include <array>
#include <cstdint>

#include "core/app/context.h"
#include "core/hw/smbus_access.h"
#include "core/hw/smbus_host_controller.h"

namespace vc {

using SmbusBlock = std::array<uint8_t, kSmbusMaxBlockBytes>;

// The 9x register sequence of one variant.
using Win9xSmbusSequence = int32_t (*)(const SmbusAccess& access, int32_t count,
                                       const uint8_t* data, Context& ctx);

// Checks the block, then runs the 9x sequence, sends one driver request with
// `ntCode` on the NT family, or does nothing (result 1) on other systems.
// A block of no bytes, more than one SMBus block or without data makes no
// bus traffic and answers 0.
int32_t RunSmbusVariant(uint32_t ntCode, Win9xSmbusSequence win9x, const SmbusAccess& access,
                        int32_t count, const uint8_t* data, Context& ctx, DeviceHandle driver);

// The first data byte with the low byte of the chip's mask ORed in.
uint8_t MaskedFirstByte(const SmbusAccess& access, const uint8_t* data);

// The `count` data bytes, the first one masked.
SmbusBlock MaskedBlock(const SmbusAccess& access, int32_t count, const uint8_t* data);

// Kind 2 controller: the first byte is latched and the transaction started,
// every later byte is released by clearing the status; a pause after each.
void SendBlockBytes(SmbusHostController& controller, const uint8_t* bytes, int32_t count);

}  // namespace vc
