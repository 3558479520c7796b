#include "sim/sim_machine.h"

#include "core/base/little_endian.h"
#include "core/hw/hw_driver.h"
#include "core/hw/privileged_requests.h"
#include "sim/privileged_sim.h"

namespace vc::sim {
namespace {

constexpr uint64_t kDriverWaitPs = 4 * kPsPerMs;

}  // namespace

// The simulated driver's own port access: traced as the driver's, never
// refused, and its 4 ms waits pass in simulated time.
class SimMachine::DriverPortAdapter : public SmbusPorts {
public:
    explicit DriverPortAdapter(SimMachine& m) : m_(m) {}
    uint8_t In(uint16_t port) override { return m_.PortRead8(port, PortOrigin::Driver); }
    void Out(uint16_t port, uint8_t value) override { m_.PortWrite8(port, value, PortOrigin::Driver); }
    void Wait() override { m_.clock_.Advance(kDriverWaitPs); }

private:
    SimMachine& m_;
};

SimMachine::SimMachine(MachineDescription description)
    : description_(std::move(description)),
      personality_(PersonalityOf(description_.os)),
      clock_(description_.time.mode),
      processor_(description_.cpu),
      bios_(description_.bios),
      pci_(description_.pci, description_.board),
      faults_(description_.faults),
      busMHz_(description_.board.bootBusMHz) {
    tsc_.SetRate(0, CpuClockMHz() * 1e6);
    const auto& c = description_.chip;
    if (const ChipModel* model = FindChipModel(c.model)) {
        StatedTable stated;
        if (model->tableStated) stated = {c.firstByteMask, c.entries};
        chip_ = std::make_unique<ClockChip>(*model, c.name.empty() ? c.model : c.name, busMHz_, trace_,
                                            [this](double mhz) { OnChipSelect(mhz); }, std::move(stated));
        if (c.registers) chip_->SetRegisters(*c.registers);
        if (c.ignoresWrites) chip_->IgnoreWrites();
        bus_.Attach(privileged::kClockGenAddress7, chip_.get());
    }
    if (description_.board.smbusKind == 1 || description_.board.smbusKind == 2) {
        smbus_ = std::make_unique<SmbusController>(description_.board.smbusKind,
                                                   description_.board.smbusBase, bus_, trace_, &clock_);
        if (description_.board.smbusSemaphoreHeld) smbus_->HoldSemaphore(true);
    }
}

SimMachine::~SimMachine() = default;

// --- operating system and driver ---------------------------------------------

OsVersion SimMachine::GetOsVersion() {
    return {description_.os.platformId, description_.os.majorVersion, description_.os.minorVersion};
}

DeviceHandle SimMachine::OpenDevice(const std::string& name, DeviceOpenMode mode) {
    if (faults_.driverMissing) return kNoDevice;
    Device device;
    if (personality_ == 1 && name == kWin9xDriverName && mode == DeviceOpenMode::Win9xDynamic) {
        device = Device::Win9x;
    } else if ((personality_ == 2 || personality_ == 3) && name == kNtDriverName &&
               mode == DeviceOpenMode::NtShared) {
        device = Device::Nt;
    } else {
        return kNoDevice;
    }
    const DeviceHandle handle = nextHandle_++;
    handles_[handle] = device;
    return handle;
}

void SimMachine::CloseDevice(DeviceHandle handle) { handles_.erase(handle); }

bool SimMachine::DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) {
    const auto it = handles_.find(handle);
    if (it == handles_.end()) return false;
    const bool nt = it->second == Device::Nt;
    const bool ok = nt ? ServeNt(request) : Serve9x(request);
    trace_.Add(DriverCall{nt ? "GpdDev" : "Map9X", request.code, ok, {}});
    return ok;
}

std::span<const uint8_t> SimMachine::ResolveBiosWindow(uint32_t address) {
    if (personality_ != 1 || address != description_.bios.windowAddress) return {};
    return bios_.bytes();
}

SmbusPorts& SimMachine::DriverPorts() {
    if (!driverPorts_) driverPorts_ = std::make_unique<DriverPortAdapter>(*this);
    return *driverPorts_;
}

uint32_t SimMachine::PciConfig(uint32_t address) const { return pci_.ReadConfig(address); }

std::span<const uint8_t> SimMachine::BiosWindowBytes() const { return bios_.bytes(); }

uint32_t SimMachine::ConfigurationWord() const { return processor_.ConfigurationWord(); }

bool SimMachine::ConfigWord(const DeviceRequest& request) {
    if (faults_.configWordFails || request.output.size() < 4) return false;
    PutLe32(request.output, 0, processor_.ConfigurationWord());
    return true;
}

bool SimMachine::Serve9x(const DeviceRequest& request) {
    switch (request.code) {
    case kReq9xBiosWindow:
        if (faults_.biosRequestFails || request.output.size() < 4) return false;
        PutLe32(request.output, 0, description_.bios.windowAddress);
        return true;
    case kReq9xIntelRatio:
    case kReq9xAmdRatio:
    case kReq9xOtherRatio:
        return ConfigWord(request);
    default:
        return false;
    }
}

// The NT driver as gpddev.sys is: the one request handler over this
// machine (privileged_sim.h). Only the injected faults are the simulation's
// own, around it: a failing kind fails before the handler sees it.
bool SimMachine::ServeNt(const DeviceRequest& request) {
    switch (request.code) {
    case kReqNtBiosFind:
        if (faults_.biosRequestFails) return false;
        break;
    case kReqNtIntelRatio:
    case kReqNtAmdRatio:
        if (faults_.configWordFails) return false;
        break;
    case kReqNtPciRead:
        if (faults_.pciFails) return false;
        break;
    case kReqNtSmbusBlockWrite:
    case kReqNtRtm560:
    case kReqNtIcs9248:
        if (faults_.smbusFails) return false;
        break;
    default: break;
    }
    // The data bytes an SMBus write points at come with the request: what
    // the driver copies from the caller's memory.
    privileged::BytesAtHand memory(request.referenced);
    PrivilegedSim hardware(*this);
    privileged::RequestHandler handler(hardware);
    privileged::Request r;
    r.code = request.code;
    r.input = request.input;
    r.outputOffered = request.output.size();
    r.callerMemory = &memory;
    return handler.Handle(r, request.output).outcome == privileged::Outcome::Done;
}

// --- ports ---------------------------------------------------------------------

uint8_t SimMachine::PortRead8(uint16_t port, PortOrigin origin) {
    const bool denied = origin == PortOrigin::Program && !PortsOpenToProgram();
    uint8_t value = 0xFF;
    if (!denied) {
        if (smbus_ && smbus_->Owns(port)) value = smbus_->Read(static_cast<uint16_t>(port - smbus_->base()));
        else if (PciHostBridge::Owns(port)) value = pci_.In8(port);
    }
    trace_.Add(PortAccess{false, port, value, 8, origin, denied});
    return value;
}

void SimMachine::PortWrite8(uint16_t port, uint8_t value, PortOrigin origin) {
    const bool denied = origin == PortOrigin::Program && !PortsOpenToProgram();
    trace_.Add(PortAccess{true, port, value, 8, origin, denied});
    if (!denied && smbus_ && smbus_->Owns(port)) {
        smbus_->Write(static_cast<uint16_t>(port - smbus_->base()), value);
    }
}

uint8_t SimMachine::InPort8(uint16_t port) { return PortRead8(port, PortOrigin::Program); }

void SimMachine::OutPort8(uint16_t port, uint8_t value) { PortWrite8(port, value, PortOrigin::Program); }

uint32_t SimMachine::InPort32(uint16_t port) {
    const bool denied = !PortsOpenToProgram();
    // Only the PCI ports decode 32-bit cycles here.
    const uint32_t value = !denied && PciHostBridge::Owns(port) ? pci_.In32(port) : 0xFFFFFFFF;
    trace_.Add(PortAccess{false, port, value, 32, PortOrigin::Program, denied});
    return value;
}

void SimMachine::OutPort32(uint16_t port, uint32_t value) {
    const bool denied = !PortsOpenToProgram();
    trace_.Add(PortAccess{true, port, value, 32, PortOrigin::Program, denied});
    if (!denied && PciHostBridge::Owns(port)) pci_.Out32(port, value);
}

// --- processor -------------------------------------------------------------------

bool SimMachine::HasCpuid() { return processor_.HasCpuid(); }
CpuidRegs SimMachine::Cpuid(uint32_t leaf) { return processor_.Cpuid(leaf); }
bool SimMachine::DivisionTestSetsClone() { return processor_.DivisionTestSetsClone(); }
bool SimMachine::FlagsHighNibbleStuckSet() { return processor_.FlagsHighNibbleStuckSet(); }
bool SimMachine::FlagsHighNibbleStuckClear() { return processor_.FlagsHighNibbleStuckClear(); }
bool SimMachine::AlignmentCheckToggles() { return processor_.AlignmentCheckToggles(); }

uint64_t SimMachine::ReadTimeStampCounter() {
    // A processor without the counter would fault; the simulation reads 0.
    if (!processor_.HasTimeStampCounter()) return 0;
    const uint64_t now = ReadClock(kTimeStampReadPs);
    return tsc_.ValueAt(now);
}

void SimMachine::RunBitScanLoop(uint32_t iterations) {
    const double cycles = static_cast<double>(iterations) * processor_.LoopCyclesPerIteration();
    const double hz = CpuClockMHz() * 1e6;
    if (hz > 0.0) clock_.Advance(static_cast<uint64_t>(cycles / hz * 1e12));
}

void SimMachine::SetBusClockMHz(double busMHz) {
    busMHz_ = busMHz;
    tsc_.SetRate(clock_.NowPs(), CpuClockMHz() * 1e6);
}

void SimMachine::OnChipSelect(double busMHz) {
    SetBusClockMHz(busMHz);
    const auto& limit = faults_.hangAboveBusMHz;
    if (hung_ || !limit || busMHz <= *limit) return;
    hung_ = true;
    if (hangHandler_) hangHandler_();
}

std::vector<RejectedSelect> SimMachine::RejectedSelects() const {
    return chip_ ? chip_->rejected() : std::vector<RejectedSelect>{};
}

std::vector<uint8_t> SimMachine::ChipRegisters() const {
    if (!chip_) return {};
    return {chip_->registers().begin(), chip_->registers().end()};
}

void SimMachine::SetFault(Fault fault, bool active) {
    switch (fault) {
    case Fault::DriverMissing: faults_.driverMissing = active; break;
    case Fault::BiosRequest: faults_.biosRequestFails = active; break;
    case Fault::ConfigWord: faults_.configWordFails = active; break;
    case Fault::Pci: faults_.pciFails = active; break;
    case Fault::Smbus: faults_.smbusFails = active; break;
    }
}

// --- time ------------------------------------------------------------------------

uint64_t SimMachine::ReadClock(uint64_t costPs) {
    ++clockReads_;
    const uint64_t now = clock_.NowPs();
    // In real time the host clock already moves while the program spins on
    // the tick count; the counter reads keep their cost so measurements
    // come out as in virtual time.
    if (clock_.mode() == TimeMode::Virtual || costPs != kTickCountReadPs) clock_.Advance(costPs);
    return now;
}

bool SimMachine::QueryPerformanceFrequency(uint64_t& frequency) {
    if (!description_.time.perfCounterPresent) return false;
    frequency = description_.time.perfFrequency;
    return true;
}

bool SimMachine::QueryPerformanceCounter(uint64_t& counter) {
    if (!description_.time.perfCounterPresent) return false;
    counter = PeriodsElapsed(ReadClock(kPerfCounterReadPs), description_.time.perfFrequency);
    return true;
}

uint32_t SimMachine::TickCountMs() {
    const uint64_t ms = ReadClock(kTickCountReadPs) / kPsPerMs;
    return static_cast<uint32_t>(description_.time.tickStartMs + ms);
}

int32_t SimMachine::GetThreadPriority() {
    return description_.time.priorityQueryFails ? kThreadPriorityError : priority_;
}

void SimMachine::SetThreadPriority(int32_t priority) { priority_ = priority; }

}  // namespace vc::sim
