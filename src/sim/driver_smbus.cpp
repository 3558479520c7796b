#include "sim/driver_smbus.h"

#include "core/hw/hw_driver.h"
#include "core/hw/smbus_access.h"
#include "core/hw/smbus_sequences.h"
#include "core/hw/smbus_write_request.h"

namespace vc::sim {

DriverSequence SequenceForRequest(uint32_t code) {
    switch (code) {
        case kReqNtRtm560: return DriverSequence::Rtm560;
        case kReqNtIcs9248: return DriverSequence::Ics9248;
        default: return DriverSequence::BlockWrite;
    }
}

bool ServeSmbusRequest(SmbusPorts& ports, DriverSequence sequence, std::span<const uint8_t> input,
                       std::span<const uint8_t> data) {
    SmbusWriteRequest r;
    if (!ParseSmbusWriteRequest(input, r)) return false;
    if (r.operation != kSmbusOperationBlockWrite || r.count == 0 || r.count > smbus::kBlockBufferSize) {
        return false;
    }
    if (data.size() < r.count || r.ioBase > 0xFFFFu - smbus::kPortSpan) return false;

    SmbusVariant variant = SmbusVariant::BlockBuffered;
    switch (sequence) {
        case DriverSequence::BlockWrite:
            if (r.controllerKind == kSmbusControllerBlockBuffer) {
                variant = SmbusVariant::BlockBuffered;
            } else if (r.controllerKind == kSmbusControllerByteWise) {
                variant = SmbusVariant::BlockByteWise;
            } else {
                return false;
            }
            break;
        case DriverSequence::Ics9248: variant = SmbusVariant::Ics9248; break;
        case DriverSequence::Rtm560: variant = SmbusVariant::Rtm560; break;
    }
    // The request names only the write address; reads go to the one above.
    const auto writeAddress = static_cast<uint8_t>(r.writeAddress);
    const SmbusTarget target{static_cast<uint16_t>(r.ioBase), writeAddress,
                             static_cast<uint8_t>(writeAddress | 1),
                             static_cast<uint8_t>(r.firstByteMask)};
    return RunSmbusWrite(ports, variant, target, data.first(r.count), StartChecks::StatusAfterStart);
}

}  // namespace vc::sim
