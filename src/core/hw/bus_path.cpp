#include "core/hw/bus_path.h"

#include "core/base/context.h"
#include "core/hw/direct_ports_path.h"
#include "core/hw/driver_requests_path.h"

namespace vc {

namespace {

// Any other system: nothing to open, no board can be recognised, a write
// answers 1 and goes nowhere.
class NoPath final : public BusPath {
public:
    BusResult OpenForBios() override { return {1}; }
    bool BiosHolds(const TextField&) override { return false; }
    BusResult ReadConfigWord(int32_t, uint32_t&) override { return {1}; }
    BusResult ReadPciConfig(uint32_t, uint32_t&) override { return {1}; }
    BusResult WriteSmbus(SmbusVariant, const SmbusAccess&, std::span<const uint8_t>) override { return {1}; }
    bool ReachesHardware() const override { return false; }
};

}  // namespace

std::shared_ptr<BusPath> ChooseBusPath(int32_t osKind, Machine machine) {
    switch (osKind) {
        case kOsWin9x: return std::make_shared<DirectPortsPath>(machine);
        case kOsNt4:
        case kOsWin2000: return std::make_shared<DriverRequestsPath>(machine.platform);
        default: return std::make_shared<NoPath>();
    }
}

BusPath& NoBusPath() {
    static NoPath none;  // holds no state
    return none;
}

}  // namespace vc
