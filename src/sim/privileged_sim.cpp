#include "sim/privileged_sim.h"

#include "core/cpu/config_word_rule.h"
#include "core/hw/pci_config.h"
#include "core/hw/smbus_functions.h"
#include "core/hw/smbus_controller_reset.h"
#include "core/hw/smbus_port_transfer.h"

namespace vc::sim {

bool PrivilegedSim::ReadConfigWord(uint32_t& word) {
    // As the drivers do: only where the one rule says the register exists.
    if (!machine_.HasCpuid()) return false;
    const CpuidRegs vendor = machine_.Cpuid(0);
    const CpuidRegs features = vendor.eax >= 1 ? machine_.Cpuid(1) : CpuidRegs{};
    if (VcConfigWordVendor(vendor.eax, vendor.ebx, vendor.edx, vendor.ecx, features.eax, features.edx) == VC_WORD_NONE)
        return false;
    word = machine_.ConfigurationWord();
    return true;
}

bool PrivilegedSim::ReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t& value) {
    value = machine_.PciConfig(PciConfigAddress(bus, device, function, reg));
    return true;
}

size_t PrivilegedSim::FindControllers(std::span<privileged::Controller> out) {
    return privileged::ScanBusZero(*this, out);
}

bool PrivilegedSim::WriteClockGen(const privileged::Controller& controller, SmbusVariant variant, uint8_t address7,
                                  uint8_t mask, std::span<const uint8_t> data) {
    const auto address8 = static_cast<uint8_t>(address7 << 1);
    const vc::SmbusTarget target{controller.ioBase, address8, static_cast<uint8_t>(address8 | 1), mask};
    ResetIdleController(machine_.DriverPorts(), controller.kind, controller.ioBase);
    return RunPortWrite(machine_.DriverPorts(), controller.kind, variant, target, data) == PortTransfer::Done;
}

std::optional<bool> PrivilegedSim::DeviceAnswers(const privileged::Controller& controller, uint8_t address7) {
    return PortDeviceAnswers(machine_.DriverPorts(), controller.kind, controller.ioBase, address7);
}

int32_t PrivilegedSim::ReadClockGenBlock(const privileged::Controller& controller, uint8_t address7,
                                         std::span<uint8_t> block) {
    return PortBlockRead(machine_.DriverPorts(), controller.kind, controller.ioBase, address7, block);
}

}  // namespace vc::sim
