// SimMachine: a simulated mainboard behind the machine seam.
//
// Parts: processor (CPUID, flag tests, configuration word, time-stamp
// counter at multiplier x bus clock), BIOS window, PCI host bridge, SMBus
// host controller with the clock-generator chip at 0xD2/0xD3, the operating
// system's personality with its driver, and the clocks. Everything is built
// from a MachineDescription.
//
// Personalities (the OS kind the reported version stands for):
// - 1 (9x): device "\\.\MAP9X.VXD", opened with Win9xDynamic only;
//   requests 2 (4-byte BIOS window address), 8, 9 and 0 (4-byte
//   configuration word, whatever the vendor). Direct port I/O reaches the
//   PCI ports 0xCF8-0xCFF and the SMBus controller; other ports read all ones.
// - 2 and 3 (NT 4, NT 5): device "\\.\GpdDev", opened with NtShared only;
//   its requests are served as gpddev.sys serves them, by the one request
//   handler (core/hw/privileged_requests.h) over this machine
//   (privileged_sim.h); the SMBus writes' data bytes come in
//   DeviceRequest::referenced.
//   Direct port I/O is refused: reads answer all ones, writes go nowhere,
//   and the trace marks both "denied".
// - 0: no device, no ports.
// Injected faults make the device missing or a request kind fail.
//
// Time: see sim_time.h. The tick count starts at time.tickStartMs and wraps
// at 2^32 ms; the performance counter runs from zero.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/base/machine.h"
#include "core/hw/smbus_ports.h"
#include "sim/bios_image.h"
#include "sim/clock_chip.h"
#include "sim/machine_description.h"
#include "sim/pci_host_bridge.h"
#include "sim/processor_model.h"
#include "sim/sim_time.h"
#include "sim/smbus_controller.h"
#include "sim/trace.h"

namespace vc::sim {

enum class Fault { DriverMissing, BiosRequest, ConfigWord, Pci, Smbus };

// It serves all three parts of the machine seam (WholeMachine(sim)).
class SimMachine final : public Platform, public Processor, public Clock {
public:
    explicit SimMachine(MachineDescription description);
    ~SimMachine() override;
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    // --- the machine seam ---------------------------------------------------
    OsVersion GetOsVersion() override;
    DeviceHandle OpenDevice(const std::string& name, DeviceOpenMode mode) override;
    void CloseDevice(DeviceHandle handle) override;
    bool DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) override;
    std::span<const uint8_t> ResolveBiosWindow(uint32_t address) override;
    uint8_t InPort8(uint16_t port) override;
    void OutPort8(uint16_t port, uint8_t value) override;
    uint32_t InPort32(uint16_t port) override;
    void OutPort32(uint16_t port, uint32_t value) override;
    bool HasCpuid() override;
    CpuidRegs Cpuid(uint32_t leaf) override;
    bool DivisionTestSetsClone() override;
    bool FlagsHighNibbleStuckSet() override;
    bool FlagsHighNibbleStuckClear() override;
    bool AlignmentCheckToggles() override;
    uint64_t ReadTimeStampCounter() override;
    void RunBitScanLoop(uint32_t iterations) override;
    bool QueryPerformanceFrequency(uint64_t& frequency) override;
    bool QueryPerformanceCounter(uint64_t& counter) override;
    uint32_t TickCountMs() override;
    int32_t GetThreadPriority() override;
    void SetThreadPriority(int32_t priority) override;

    // The three parts of the seam, all served by this one machine.
    Machine Parts() { return WholeMachine(*this); }
    operator Machine() { return Parts(); }  // NOLINT: a machine view is what callers want

    // --- back door: physical state for tests and tools, not the seam ------
    const MachineDescription& description() const { return description_; }
    int32_t personality() const { return personality_; }

    double BusClockMHz() const { return busMHz_; }
    void SetBusClockMHz(double busMHz);  // as if the chip had switched
    double CpuClockMHz() const { return busMHz_ * processor_.multiplier(); }

    // The clock chip, or nullptr on a machine without one.
    const ClockChip* chip() const { return chip_.get(); }
    std::vector<RejectedSelect> RejectedSelects() const;
    std::vector<uint8_t> ChipRegisters() const;
    // The SMBus controller, or nullptr on a machine without one.
    const SmbusController* smbusController() const { return smbus_.get(); }
    // What a privileged component reaches (sim/privileged_sim.h): the ports
    // as a driver drives them, PCI configuration, the BIOS window and the
    // processor's configuration word, none of them refused.
    vc::SmbusPorts& DriverPorts();
    uint32_t PciConfig(uint32_t address) const;
    std::span<const uint8_t> BiosWindowBytes() const;
    uint32_t ConfigurationWord() const;

    // Back door: the command byte an earlier transfer (firmware, another
    // program) left in the controller, as a real one keeps it.
    void LeaveSmbusCommand(uint8_t command) {
        if (smbus_) smbus_->Write(smbus::kCommand, command);
    }

    const Trace& trace() const { return trace_; }
    std::vector<std::string> TraceLines() const { return trace_.Lines(); }
    void ClearTrace() { trace_.Clear(); }

    void SetFault(Fault fault, bool active);

    // fault.hangAboveBusMHz: once a select takes the bus above it the
    // machine has hung; the handler (if any) runs once, at that select. A
    // program on a real hung machine would stop there: the handler decides
    // how the simulation's program does.
    bool Hung() const { return hung_; }
    void SetHangHandler(std::function<void()> handler) { hangHandler_ = std::move(handler); }
    void SetHostBridgeRegister(uint8_t reg, uint32_t value) { pci_.SetRegister(reg, value); }

    uint64_t NowPs() const { return clock_.NowPs(); }
    void AdvanceTimePs(uint64_t ps) { clock_.Advance(ps); }
    // How many times any clock (tick count, performance counter, time-stamp
    // counter) was read.
    uint64_t ClockReads() const { return clockReads_; }
    int32_t ThreadPriority() const { return priority_; }
    size_t OpenDeviceCount() const { return handles_.size(); }

private:
    enum class Device { Win9x, Nt };
    class DriverPortAdapter;

    bool Serve9x(const DeviceRequest& request);
    bool ServeNt(const DeviceRequest& request);
    bool ConfigWord(const DeviceRequest& request);

    uint8_t PortRead8(uint16_t port, PortOrigin origin);
    void PortWrite8(uint16_t port, uint8_t value, PortOrigin origin);
    bool PortsOpenToProgram() const { return personality_ == 1; }
    uint64_t ReadClock(uint64_t costPs);
    void OnChipSelect(double busMHz);

    MachineDescription description_;
    int32_t personality_;
    SimClock clock_;
    ProcessorModel processor_;
    BiosImage bios_;
    PciHostBridge pci_;
    Trace trace_;
    SmbusBus bus_;
    std::unique_ptr<ClockChip> chip_;
    std::unique_ptr<SmbusController> smbus_;
    std::unique_ptr<vc::SmbusPorts> driverPorts_;
    FaultDescription faults_;

    double busMHz_;
    RateIntegrator tsc_;
    uint64_t clockReads_ = 0;
    int32_t priority_ = 0;
    DeviceHandle nextHandle_ = 1;
    std::map<DeviceHandle, Device> handles_;
    bool hung_ = false;
    std::function<void()> hangHandler_;
};

}  // namespace vc::sim
