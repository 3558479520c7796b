// The NT-family way to the hardware: every access is a request to the port
// driver, opened once (shared) for the rest of the run.
#pragma once

#include "core/hw/bus_path.h"

namespace vc {

class DriverRequestsPath final : public BusPath {
public:
    explicit DriverRequestsPath(Platform& platform) : platform_(platform) {}

    BusResult OpenForBios() override;
    bool BiosHolds(const TextField& biosId) override;
    BusResult ReadConfigWord(int32_t vendorCode, uint32_t& word) override;
    BusResult ReadPciConfig(uint32_t address, uint32_t& value) override;
    BusResult WriteSmbus(SmbusVariant variant, const SmbusAccess& access,
                         std::span<const uint8_t> data) override;
    bool ReachesHardware() const override { return true; }
    std::optional<std::vector<uint8_t>> ReadClockGenBlock(const SmbusAccess& access) override;
    DeviceHandle DriverHandle() const override { return handle_; }

private:
    Platform& platform_;
    DeviceHandle handle_ = kNoDevice;
};

}  // namespace vc
