// The requests the helper serves: the NT port driver's set (BIOS search,
// configuration word, PCI read, the three SMBus writes) and the read-only
// probe, decided by the one handler every privileged component runs
// (core/hw/privileged_requests.h). Here: the wire's request in, its answer
// out, and the log: every refusal and every write with the client's uid.
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

    // Every line a request causes (refusals, writes, what could not be read)
    // goes through `refusals`, limited per uid, instead of the log.
    void SetRefusalLog(RefusalLog* refusals) { refusals_ = refusals; }

private:
    HelperHardware& hardware_;
    LogSink log_;
    RefusalLog* refusals_ = nullptr;
    uint8_t clockGenAddress7_;
};

}  // namespace vc::helper
