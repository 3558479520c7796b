// The two clock generators that need more than a select byte: their whole
// register block is read back and written again around the select.
#include <algorithm>
#include <array>

#include "core/hw/hw_driver.h"
#include "core/hw/smbus_variant.h"
#include "core/hw/smbus_write.h"

namespace vc {

namespace {

constexpr int32_t kIcs9248BlockBytes = 7;
constexpr int32_t kIcs9248SelectIndex = 6;
constexpr int32_t kRtm560BlockBytes = 17;
constexpr int32_t kRtm560LastIndex = 16;
constexpr uint8_t kRtm560LastByte = 0x4B;

struct RegisterWrite {
    SmbusRegister reg;
    uint8_t value;
};

// After the block, the RTM560-25 takes two word writes: command 0x1F with
// data 0x00 0x02, then command 0x10 with data 0x00 0x49; every stage is
// closed with 0x20 in host control.
constexpr RegisterWrite kRtm560WordWrites[] = {
    {SmbusRegister::HostStatus, kSmbusStatusClearAll}, {SmbusRegister::HostControl, kSmbusCloseStage},
    {SmbusRegister::HostStatus, kSmbusStatusClearAll}, {SmbusRegister::Data0, 0x00},
    {SmbusRegister::HostCommand, 0x1F},                {SmbusRegister::Data1, 0x02},
    {SmbusRegister::HostControl, kSmbusStartWordData}, {SmbusRegister::HostStatus, kSmbusStatusClearAll},
    {SmbusRegister::HostControl, kSmbusCloseStage},    {SmbusRegister::HostStatus, kSmbusStatusClearAll},
    {SmbusRegister::Data0, 0x00},                      {SmbusRegister::HostCommand, 0x10},
    {SmbusRegister::Data1, 0x49},                      {SmbusRegister::HostControl, kSmbusStartWordData},
    {SmbusRegister::HostStatus, kSmbusStatusClearAll}, {SmbusRegister::HostControl, kSmbusCloseStage},
};

// Reads the chip's whole register block. Writing back anything less than
// what the chip holds would put stale bytes into it, so a chip that does
// not answer, or answers short, leaves the caller with nothing to write.
bool ReadWholeBlock(const SmbusAccess& access, uint8_t* block, int32_t length, Context& ctx) {
    int32_t received = 0;
    return BlockReadByteWise(access, length, block, ctx, received) == 1 && received >= length;
}

void StartByteWiseBlock(SmbusHostController& controller, const SmbusAccess& access, uint8_t count) {
    controller.Read(SmbusRegister::HostControl);
    controller.Write(SmbusRegister::HostStatus, kSmbusStatusClearAll);
    controller.Write(SmbusRegister::HostCommand, kSmbusCommandBlock);
    controller.Write(SmbusRegister::SlaveAddress, static_cast<uint8_t>(access.writeAddress));
    controller.Write(SmbusRegister::Data0, count);
}

int32_t WriteIcs9248Win9x(const SmbusAccess& access, int32_t /*count*/, const uint8_t* data,
                          Context& ctx) {
    std::array<uint8_t, kIcs9248BlockBytes> block{};
    if (!ReadWholeBlock(access, block.data(), kIcs9248BlockBytes, ctx)) return 0;
    // Only the select byte changes; the count is not used.
    block[kIcs9248SelectIndex] = MaskedFirstByte(access, data);

    SmbusHostController controller(ctx.machine, access.ioBase);
    StartByteWiseBlock(controller, access, kIcs9248BlockBytes);
    SendBlockBytes(controller, block.data(), kIcs9248BlockBytes);
    // The chip takes the select byte only when it comes once more.
    controller.Write(SmbusRegister::BlockData, block[kIcs9248SelectIndex]);
    controller.Write(SmbusRegister::HostControl, kSmbusStartBlock);
    controller.Wait();
    controller.Write(SmbusRegister::HostStatus, kSmbusStatusClearAll);
    controller.Wait();
    controller.Write(SmbusRegister::HostControl, kSmbusCloseStage);
    controller.Wait();
    return 1;
}

int32_t WriteRtm560Win9x(const SmbusAccess& access, int32_t count, const uint8_t* data,
                         Context& ctx) {
    std::array<uint8_t, kRtm560BlockBytes> block{};
    if (!ReadWholeBlock(access, block.data(), kRtm560BlockBytes, ctx)) return 0;
    block[kRtm560LastIndex] = kRtm560LastByte;

    SmbusHostController controller(ctx.machine, access.ioBase);
    StartByteWiseBlock(controller, access, kRtm560BlockBytes);
    SendBlockBytes(controller, block.data(), kRtm560BlockBytes);  // written back unmasked
    for (const RegisterWrite& write : kRtm560WordWrites) {
        controller.Write(write.reg, write.value);
        controller.Wait();
    }

    const SmbusBlock select = MaskedBlock(access, count, data);
    controller.Read(SmbusRegister::HostControl);
    controller.Write(SmbusRegister::HostStatus, kSmbusStatusClearAll);
    controller.Write(SmbusRegister::SlaveAddress, static_cast<uint8_t>(access.writeAddress));
    controller.Write(SmbusRegister::HostCommand, kSmbusCommandBlock);
    controller.Write(SmbusRegister::Data0, static_cast<uint8_t>(count));
    SendBlockBytes(controller, select.data(), count);
    controller.Wait();
    return 1;
}

}  // namespace

int32_t BlockReadByteWise(const SmbusAccess& access, int32_t maxLength, uint8_t* buffer,
                          Context& ctx, int32_t& received) {
    received = 0;
    if (maxLength < 0 || (maxLength > 0 && buffer == nullptr)) return 0;
    SmbusHostController controller(ctx.machine, access.ioBase);
    controller.Read(SmbusRegister::HostControl);
    controller.Wait();
    controller.Write(SmbusRegister::HostStatus, kSmbusStatusClearAll);
    controller.Wait();
    controller.Write(SmbusRegister::SlaveAddress, static_cast<uint8_t>(access.readAddress));
    controller.Wait();
    controller.Write(SmbusRegister::HostControl, kSmbusStartBlock);
    controller.Wait();

    // The controller stays busy while the chip hands over its bytes; an
    // idle controller means nobody answered.
    const uint8_t status = controller.Read(SmbusRegister::HostStatus);
    controller.Wait();
    if ((status & kSmbusStatusBusy) == 0) return 0;

    // The chip's count is a signed byte; 0x80 and above read nothing.
    const int32_t reported = static_cast<int8_t>(controller.Read(SmbusRegister::Data0));
    for (int32_t i = 0; i < reported; ++i) {
        const uint8_t value = controller.Read(SmbusRegister::BlockData);
        controller.Write(SmbusRegister::HostStatus, kSmbusStatusClearAll);
        controller.Wait();
        if (i < maxLength) buffer[i] = value;
    }
    received = std::max(reported, 0);
    return 1;
}

int32_t WriteIcs9248(const SmbusAccess& access, int32_t count, const uint8_t* data, Context& ctx,
                     DeviceHandle driver) {
    return RunSmbusVariant(kReqNtIcs9248, WriteIcs9248Win9x, access, count, data, ctx, driver);
}

int32_t WriteRtm560(const SmbusAccess& access, int32_t count, const uint8_t* data, Context& ctx,
                    DeviceHandle driver) {
    return RunSmbusVariant(kReqNtRtm560, WriteRtm560Win9x, access, count, data, ctx, driver);
}

}  // namespace vc
