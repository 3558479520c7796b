// The Windows 9x way to the hardware: the program's own port I/O for PCI
// configuration and the SMBus controller, and the virtual device (opened
// once and kept for the rest of the run) for the BIOS window address and
// the configuration word.
#pragma once

#include "core/hw/bus_path.h"

namespace vc {

class DirectPortsPath final : public BusPath {
public:
    explicit DirectPortsPath(Machine machine) : machine_(machine) {}

    BusResult OpenForBios() override;
    bool BiosHolds(const TextField& biosId) override;
    BusResult ReadConfigWord(int32_t vendorCode, uint32_t& word) override;
    BusResult ReadPciConfig(uint32_t address, uint32_t& value) override;
    BusResult WriteSmbus(SmbusVariant variant, const SmbusAccess& access,
                         std::span<const uint8_t> data) override;
    bool ReachesHardware() const override { return true; }
    std::optional<std::vector<uint8_t>> ReadClockGenBlock(const SmbusAccess& access) override;
    uint32_t BiosWindow() const override { return biosWindow_; }

private:
    bool DeviceOpen();

    Machine machine_;
    DeviceHandle handle_ = kNoDevice;
    uint32_t biosWindow_ = 0;
};

}  // namespace vc
