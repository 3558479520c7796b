#include "core/hw/smbus_write_request.h"

#include "core/hw/little_endian.h"

namespace vc {

namespace {

// The driver would read the data bytes from a 32-bit address in the
// caller's memory. A 64-bit process has no such address to give, so the
// field stays 0 and the bytes travel in DeviceRequest::referenced, from
// where the machine reads them as the driver reads caller memory.
constexpr uint32_t kDataAddressToken = 0;

}  // namespace

std::array<uint8_t, kSmbusWriteRequestSize> EncodeSmbusWriteRequest(const SmbusAccess& access,
                                                                    int32_t count) {
    std::array<uint8_t, kSmbusWriteRequestSize> bytes{};
    const uint32_t fields[] = {
        static_cast<uint32_t>(access.ioBase),         static_cast<uint32_t>(count),
        kDataAddressToken,                            static_cast<uint32_t>(access.operation),
        static_cast<uint32_t>(access.controllerKind), static_cast<uint32_t>(access.writeAddress),
        static_cast<uint32_t>(access.firstByteMask),
    };
    size_t offset = 0;
    for (const uint32_t field : fields) {
        PutLe32(bytes, offset, field);
        offset += 4;
    }
    return bytes;
}

int32_t SendSmbusWriteRequest(uint32_t code, const SmbusAccess& access, int32_t count,
                              const uint8_t* data, Context& ctx, DeviceHandle driver) {
    const auto input = EncodeSmbusWriteRequest(access, count);
    std::array<uint8_t, kSmbusWriteRequestSize> output{};  // the driver's answer is not used
    DeviceRequest request;
    request.code = code;
    request.input = input;
    request.output = output;
    request.referenced = std::span<const uint8_t>(data, static_cast<size_t>(count));
    if (!ctx.machine.DeviceIoControl(driver, request)) {
        ctx.shell.ShowMessage(kCaptionMessage, "DeviceIOControl Fail (SMBusBlockWriteType1)\n");
        ctx.shell.EndProcess(1);
    }
    return 1;
}

}  // namespace vc
