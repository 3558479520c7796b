// The requests the helper serves, each checked before anything reaches the
// hardware: the NT port driver's set (BIOS search, configuration word, PCI
// read, the three SMBus writes) and the read-only probe. Nothing a client
// says is trusted; an SMBus write goes only to the clock generator behind a
// controller PCI shows, of the kind the request names. Every refusal and
// every write is logged with the client's uid.
#pragma once

#include <cstdint>

#include "core/hw/driver_wire.h"
#include "helper/helper_hardware.h"
#include "helper/log.h"
#include "helper/refusal_log.h"

namespace vc::helper {

class RequestHandler {
public:
    // `clockGenAddress7` is where writes to 0xD2 really go (a test device
    // instead of the clock generator when the administrator says so).
    RequestHandler(HelperHardware& hardware, LogSink log, uint8_t clockGenAddress7 = kDefaultClockGenAddress);

    WireResponse Handle(const WireRequest& request, uint32_t uid);

    // Refusals go through `refusals` (limited per uid) instead of the log.
    void SetRefusalLog(RefusalLog* refusals) { refusals_ = refusals; }

private:
    WireResponse BiosFind(const WireRequest& request, uint32_t uid);
    WireResponse ConfigWord(const WireRequest& request, uint32_t uid);
    WireResponse PciRead(const WireRequest& request, uint32_t uid);
    bool PciRegisterAllowed(const std::string& name, uint8_t reg);
    WireResponse SmbusWrite(const WireRequest& request, uint32_t uid);
    WireResponse Probe(const WireRequest& request, uint32_t uid);
    WireResponse Refuse(const WireRequest& request, uint32_t uid, const std::string& reason);

    HelperHardware& hardware_;
    LogSink log_;
    RefusalLog* refusals_ = nullptr;
    uint8_t clockGenAddress7_;
};

}  // namespace vc::helper
