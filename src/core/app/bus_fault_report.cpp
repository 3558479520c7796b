#include "core/app/bus_fault_report.h"

namespace vc {

namespace {

const char* FaultMessage(const Context& ctx, BusFault fault) {
    switch (fault) {
        case BusFault::DriverOpen:
            return ctx.osKind == kOsNt4 ? kMsgNt4DriverOpenFail : kMsgWin2000DriverOpenFail;
        case BusFault::PciRequest: return kMsgPciRequestFail;
        case BusFault::SmbusRequest: return kMsgSmbusRequestFail;
        case BusFault::None: break;
    }
    return nullptr;
}

}  // namespace

void EndOnBusFault(Context& ctx, BusFault fault) {
    const char* message = FaultMessage(ctx, fault);
    if (message == nullptr) return;
    ctx.shell.ShowMessage(kCaptionMessage, message);
    ctx.shell.EndProcess(1);
}

}  // namespace vc
