#include "core/hw/smbus_write.h"

#include <algorithm>

#include "core/hw/hw_driver.h"
#include "core/hw/smbus_variant.h"
#include "core/hw/smbus_write_request.h"

namespace vc {

int32_t RunSmbusVariant(uint32_t ntCode, Win9xSmbusSequence win9x, const SmbusAccess& access,
                        int32_t count, const uint8_t* data, Context& ctx, DeviceHandle driver) {
    if (data == nullptr || count < 1 || count > kSmbusMaxBlockBytes) return 0;
    switch (ctx.osKind) {
        case kOsWin9x: return win9x(access, count, data, ctx);
        case kOsNt4:
        case kOsWin2000: return SendSmbusWriteRequest(ntCode, access, count, data, ctx, driver);
        default: return 1;
    }
}

uint8_t MaskedFirstByte(const SmbusAccess& access, const uint8_t* data) {
    return static_cast<uint8_t>(data[0] | (access.firstByteMask & 0xFF));
}

SmbusBlock MaskedBlock(const SmbusAccess& access, int32_t count, const uint8_t* data) {
    SmbusBlock block{};
    std::copy_n(data, count, block.begin());
    block[0] = MaskedFirstByte(access, data);
    return block;
}

void SendBlockBytes(SmbusHostController& controller, const uint8_t* bytes, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        controller.Write(SmbusRegister::BlockData, bytes[i]);
        if (i == 0) {
            controller.Write(SmbusRegister::HostControl, kSmbusStartBlock);
        } else {
            controller.Write(SmbusRegister::HostStatus, kSmbusStatusClearAll);
        }
        controller.Wait();
    }
}

namespace {

// Kind 1: the bytes go into the controller's block buffer before the start.
int32_t BlockWriteBufferedWin9x(const SmbusAccess& access, int32_t count, const uint8_t* data,
                                Context& ctx) {
    SmbusHostController controller(ctx.machine, access.ioBase);
    const SmbusBlock block = MaskedBlock(access, count, data);
    controller.Read(SmbusRegister::HostControl);  // resets the block-data pointer
    controller.Write(SmbusRegister::HostStatus, kSmbusStatusClearAll);
    controller.Write(SmbusRegister::SlaveAddress, static_cast<uint8_t>(access.writeAddress));
    controller.Write(SmbusRegister::Data0, static_cast<uint8_t>(count));
    for (int32_t i = 0; i < count; ++i) controller.Write(SmbusRegister::BlockData, block[i]);
    controller.Wait();
    controller.Write(SmbusRegister::HostControl, kSmbusStartBlock);
    // Only the status right after the start; completion is never awaited.
    return (controller.Read(SmbusRegister::HostStatus) & kSmbusStatusCompleted) != 0 ? 1 : 0;
}

int32_t BlockWriteByteWiseWin9x(const SmbusAccess& access, int32_t count, const uint8_t* data,
                                Context& ctx) {
    SmbusHostController controller(ctx.machine, access.ioBase);
    const SmbusBlock block = MaskedBlock(access, count, data);
    controller.Read(SmbusRegister::HostControl);
    controller.Write(SmbusRegister::HostStatus, kSmbusStatusClearAll);
    controller.Write(SmbusRegister::HostCommand, kSmbusCommandBlock);
    controller.Write(SmbusRegister::SlaveAddress, static_cast<uint8_t>(access.writeAddress));
    controller.Write(SmbusRegister::Data0, static_cast<uint8_t>(count));
    SendBlockBytes(controller, block.data(), count);
    return 1;
}

}  // namespace

int32_t BlockWriteBuffered(const SmbusAccess& access, int32_t count, const uint8_t* data,
                           Context& ctx, DeviceHandle driver) {
    return RunSmbusVariant(kReqNtSmbusBlockWrite, BlockWriteBufferedWin9x, access, count, data, ctx,
                           driver);
}

int32_t BlockWriteByteWise(const SmbusAccess& access, int32_t count, const uint8_t* data,
                           Context& ctx, DeviceHandle driver) {
    return RunSmbusVariant(kReqNtSmbusBlockWrite, BlockWriteByteWiseWin9x, access, count, data, ctx,
                           driver);
}

}  // namespace vc
