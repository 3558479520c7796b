// The driver's C++ half: the core's request handler over the kernel calls
// of nt_driver.c. It decides nothing itself; it only says how each answer
// completes the request (which NTSTATUS, so which error the program sees).
#include <cstdint>
#include <optional>
#include <span>

#include "core/hw/privileged_hardware.h"
#include "core/hw/hw_driver.h"
#include "core/hw/privileged_requests.h"
#include "core/hw/smbus_functions.h"
#include "core/hw/smbus_controller_reset.h"
#include "core/hw/smbus_port_transfer.h"
#include "core/hw/smbus_registers.h"
#include "driver/nt/nt_glue.h"

namespace {

using vc::privileged::Answer;
using vc::privileged::Controller;
using vc::privileged::Outcome;
using vc::privileged::Refusal;

class HalPorts final : public vc::SmbusPorts {
public:
    uint8_t In(uint16_t port) override { return GpdPortIn(port); }
    void Out(uint16_t port, uint8_t value) override { GpdPortOut(port, value); }
    void Wait() override { GpdPause(vc::smbus::kStepWaitMs); }
};

// Holds the one transfer lock for a scope.
class TransferLock {
public:
    TransferLock() { GpdLockTransfers(); }
    ~TransferLock() { GpdUnlockTransfers(); }
    TransferLock(const TransferLock&) = delete;
    TransferLock& operator=(const TransferLock&) = delete;
};

vc::SmbusTarget TargetOf(const Controller& controller, uint8_t address7, uint8_t mask) {
    const auto address8 = static_cast<uint8_t>(address7 << 1);
    return vc::SmbusTarget{controller.ioBase, address8, static_cast<uint8_t>(address8 | 1), mask};
}

class NtHardware final : public vc::privileged::Hardware {
public:
    std::span<const uint8_t> MapBiosWindow() override {
        window_ = GpdMapBiosWindow();
        if (window_ == nullptr) return {};
        return {window_, vc::privileged::kBiosWindowBytes};
    }
    void UnmapBiosWindow() override {
        if (window_ != nullptr) GpdUnmapBiosWindow(window_);
        window_ = nullptr;
    }
    bool ReadConfigWord(uint32_t& word) override { return GpdReadConfigWord(&word) != 0; }
    bool ReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t& value) override {
        return GpdReadPciConfig(bus, device, function, reg, &value) != 0;
    }
    size_t FindControllers(std::span<Controller> out) override { return vc::privileged::ScanBusZero(*this, out); }
    bool WriteClockGen(const Controller& controller, vc::SmbusVariant variant, uint8_t address7, uint8_t mask,
                       std::span<const uint8_t> data) override {
        HalPorts ports;
        const TransferLock lock;
        // Whatever an earlier transfer left (a block read that got no count)
        // must not fail this write before a byte goes out.
        vc::ResetIdleController(ports, controller.kind, controller.ioBase);
        return vc::RunPortWrite(ports, controller.kind, variant, TargetOf(controller, address7, mask), data) ==
               vc::PortTransfer::Done;
    }
    std::optional<bool> DeviceAnswers(const Controller& controller, uint8_t address7) override {
        HalPorts ports;
        const TransferLock lock;
        return vc::PortDeviceAnswers(ports, controller.kind, controller.ioBase, address7);
    }
    int32_t ReadClockGenBlock(const Controller& controller, uint8_t address7, std::span<uint8_t> block) override {
        HalPorts ports;
        const TransferLock lock;
        return vc::PortBlockRead(ports, controller.kind, controller.ioBase, address7, block);
    }

private:
    const uint8_t* window_ = nullptr;
};

class IrpCallerMemory final : public vc::privileged::CallerMemory {
public:
    explicit IrpCallerMemory(void* irp) : irp_(irp) {}
    size_t Read(uint32_t address, std::span<uint8_t> out) override {
        return GpdReadCallerBytes(irp_, address, out.data(), out.size());
    }

private:
    void* irp_;
};

// NTSTATUS values (ntstatus.h); the error the program's DeviceIoControl
// then reports is in the comment.
constexpr int32_t Status(uint32_t value) { return static_cast<int32_t>(value); }
constexpr int32_t kSuccess = 0;
constexpr int32_t kUnsuccessful = Status(0xC0000001);         // 31
constexpr int32_t kAccessViolation = Status(0xC0000005);      // 998
constexpr int32_t kInvalidParameter = Status(0xC000000D);     // 87
constexpr int32_t kInvalidDeviceRequest = Status(0xC0000010); // 1
constexpr int32_t kAccessDenied = Status(0xC0000022);         // 5
constexpr int32_t kBufferTooSmall = Status(0xC0000023);       // 122
constexpr int32_t kDeviceNotReady = Status(0xC00000A3);       // 21
constexpr int32_t kNotSupported = Status(0xC00000BB);         // 50
constexpr int32_t kDeviceDoesNotExist = Status(0xC00000C0);   // 55

int32_t RefusalStatus(Refusal refusal) {
    switch (refusal) {
    case Refusal::UnknownCode: return kInvalidDeviceRequest;
    case Refusal::ShortInput:
    case Refusal::ShortOutput:
    case Refusal::ShortBuffers:
    case Refusal::ReportTooLong: return kBufferTooSmall;
    case Refusal::DataUnreadable: return kAccessViolation;
    case Refusal::NoSuchController: return kDeviceDoesNotExist;
    case Refusal::ControllerDisabled: return kDeviceNotReady;
    case Refusal::KindMismatch:
    case Refusal::NeedsByteWise: return kNotSupported;
    case Refusal::PciRegister: return kAccessDenied;
    case Refusal::None:
    case Refusal::NoTerminator:
    case Refusal::NotABlockWrite:
    case Refusal::CountOutOfRange:
    case Refusal::NotClockGenerator:
    case Refusal::MaskNotAByte: break;
    }
    return kInvalidParameter;
}

}  // namespace

extern "C" void GpdServeRequest(void* irp, uint32_t code, uint8_t* buffer, uint32_t inLength, uint32_t outLength,
                                GPD_SERVED* served) {
    NtHardware hardware;
    IrpCallerMemory callerMemory(irp);
    vc::privileged::RequestHandler handler(hardware);
    vc::privileged::Request request;
    request.code = code;
    request.input = std::span<const uint8_t>(buffer, buffer == nullptr ? 0 : inLength);
    request.outputOffered = buffer == nullptr ? 0 : outLength;
    request.callerMemory = &callerMemory;
    const Answer answer = handler.Handle(request, std::span<uint8_t>(buffer, request.outputOffered));
    served->outcome = static_cast<uint32_t>(answer.outcome);
    served->refusal = static_cast<uint32_t>(answer.refusal);
    for (int i = 0; i < 3; ++i) served->figures[i] = answer.figures[i];
    served->information = answer.outcome == Outcome::Done ? static_cast<uint32_t>(answer.outputLength) : 0;
    served->status = answer.outcome == Outcome::Done     ? kSuccess
                     : answer.outcome == Outcome::Failed ? kUnsuccessful
                                                         : RefusalStatus(answer.refusal);
}

static_assert(GPD_OUTCOME_DONE == static_cast<uint32_t>(Outcome::Done));
static_assert(GPD_OUTCOME_FAILED == static_cast<uint32_t>(Outcome::Failed));
static_assert(GPD_CODE_BIOS_FIND == vc::kReqNtBiosFind);

extern "C" void GpdCount(GPD_COUNTS* counts, uint32_t code, const GPD_SERVED* served) {
    if (served->outcome == static_cast<uint32_t>(Outcome::Refused)) {
        ++counts->refusals;
        return;
    }
    switch (code) {
    case vc::kReqNtPciRead: ++counts->pciReads; break;
    case vc::kReqNtBiosFind:
        ++counts->biosSearches;
        if (served->outcome == GPD_OUTCOME_DONE) ++counts->biosFound;
        break;
    case vc::kReqNtIntelRatio:
    case vc::kReqNtAmdRatio: ++counts->configWords; break;
    case vc::kReqProbe: ++counts->probes; break;
    default: ++counts->smbusWrites; break;  // the handler refuses every other code
    }
}

// The C++ runtime the kernel lacks, as far as the code compiled in needs
// it: the deleting destructors name the sized operator delete (never
// called, nothing is allocated; GCC wants the unsized one beside it), at -O0
// an abstract base's vtable names __cxa_pure_virtual, and
// std::string_view::substr names its out-of-range throw (the core calls it
// only with a position inside the view). A trap in the kernel stops the
// system, so none of these may become reachable.
extern "C" void __cxa_pure_virtual() { __builtin_trap(); }
void operator delete(void*) noexcept { __builtin_trap(); }
void operator delete(void*, unsigned int) noexcept { __builtin_trap(); }
namespace std {
void __throw_out_of_range_fmt(const char*, ...) { __builtin_trap(); }
}  // namespace std
