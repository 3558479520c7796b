// The simulated machine as a privileged component sees it: the hardware
// seam of the one request handler (core/hw/privileged_requests.h) over the
// machine's PCI, BIOS window, processor and SMBus controller, driven through
// the ports as the NT driver and the helper drive a controller nobody else
// owns. So the handler's policy and transfers are proven against the
// simulated boards before a real one sees them.
#pragma once

#include "core/hw/privileged_hardware.h"
#include "sim/sim_machine.h"

namespace vc::sim {

class PrivilegedSim final : public privileged::Hardware {
public:
    explicit PrivilegedSim(SimMachine& machine) : machine_(machine) {}

    std::span<const uint8_t> MapBiosWindow() override { return machine_.BiosWindowBytes(); }
    void UnmapBiosWindow() override {}
    bool ReadConfigWord(uint32_t& word) override;
    bool ReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t& value) override;
    size_t FindControllers(std::span<privileged::Controller> out) override;
    bool WriteClockGen(const privileged::Controller& controller, SmbusVariant variant, uint8_t address7, uint8_t mask,
                       std::span<const uint8_t> data) override;
    std::optional<bool> DeviceAnswers(const privileged::Controller& controller, uint8_t address7) override;
    int32_t ReadClockGenBlock(const privileged::Controller& controller, uint8_t address7,
                              std::span<uint8_t> block) override;

private:
    SimMachine& machine_;
};

}  // namespace vc::sim
