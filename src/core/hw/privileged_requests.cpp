#include "core/hw/privileged_requests.h"

#include "core/base/little_endian.h"
#include "core/hw/bios_window.h"
#include "core/hw/host_bridge_registers.h"
#include "core/hw/hw_driver.h"
#include "core/hw/probe_lines.h"
#include "core/hw/smbus_access.h"
#include "core/hw/smbus_registers.h"
#include "core/hw/smbus_write_request.h"

namespace vc::privileged {

namespace {

constexpr size_t kBiosFindInputSize = 16;
constexpr size_t kWordSize = 4;
constexpr uint32_t kPciEnableBit = 0x80000000;
constexpr uint32_t kPciNoDevice = 0xFFFFFFFF;
// The standard header every function shows to anybody.
constexpr uint8_t kPciHeaderBytes = 64;

Answer Refused(Refusal refusal, uint32_t a = 0, uint32_t b = 0, uint32_t c = 0) {
    Answer answer;
    answer.outcome = Outcome::Refused;
    answer.refusal = refusal;
    answer.figures[0] = a;
    answer.figures[1] = b;
    answer.figures[2] = c;
    return answer;
}

Answer Failed() { return Answer{}; }

Answer Done(size_t outputLength = 0) {
    Answer answer;
    answer.outcome = Outcome::Done;
    answer.outputLength = outputLength;
    return answer;
}

Answer Word(std::span<uint8_t> output, uint32_t value) {
    PutLe32(output, 0, value);
    return Done(kWordSize);
}

const Controller* ControllerAt(std::span<const Controller> controllers, uint32_t ioBase) {
    for (const Controller& c : controllers) {
        if (c.ioBase != 0 && c.ioBase == ioBase) return &c;
    }
    return nullptr;
}

std::string_view NameOr(const char (&name)[24]) {
    const std::string_view text(name, sizeof name);
    const size_t end = text.find('\0');
    const std::string_view trimmed = text.substr(0, end);
    return trimmed.empty() ? std::string_view("none") : trimmed;
}

void PutControllerLine(ReportText& out, const Controller& c) {
    out.Put("controller kind=").PutDecimal(static_cast<uint32_t>(c.kind)).Put(" base=").PutHex(c.ioBase, 4);
    out.Put(" pci=0000:").PutLowerHex(c.bus, 2).Put(":").PutLowerHex(c.device, 2).Put(".").PutLowerHex(c.function, 1);
    out.Put(" driver=").Put(NameOr(c.driver)).Put(" adapter=").Put(NameOr(c.adapter));
    if (c.acpiRegion[0] != '\0') out.Put(" acpi=").Put(NameOr(c.acpiRegion));
    out.Put("\n");
}

}  // namespace

RequestHandler::RequestHandler(Hardware& hardware, uint8_t clockGenAddress7)
    : hardware_(hardware), clockGenAddress7_(clockGenAddress7) {}

Answer RequestHandler::Handle(const Request& request, std::span<uint8_t> output) {
    if (output.size() > request.outputOffered) output = output.first(request.outputOffered);
    switch (request.code) {
        case kReqNtBiosFind: return BiosFind(request);
        case kReqNtIntelRatio:
        case kReqNtAmdRatio: return ConfigWord(request, output);
        case kReqNtPciRead: return PciRead(request, output);
        case kReqNtSmbusBlockWrite:
        case kReqNtIcs9248:
        case kReqNtRtm560: return SmbusWrite(request);
        case kReqProbe: return Probe(request, output);
        default: return Refused(Refusal::UnknownCode);
    }
}

// The identification string and its terminator in a 16-byte field; a field
// without a terminator is refused before anything is read.
Answer RequestHandler::BiosFind(const Request& request) {
    if (request.input.size() < kBiosFindInputSize) {
        return Refused(Refusal::ShortInput, static_cast<uint32_t>(request.input.size()), kBiosFindInputSize);
    }
    char field[kBiosFindInputSize];
    bool terminated = false;
    for (size_t i = 0; i < kBiosFindInputSize; ++i) {
        field[i] = static_cast<char>(request.input[i]);
        terminated = terminated || field[i] == '\0';
    }
    if (!terminated) return Refused(Refusal::NoTerminator);
    const std::span<const uint8_t> window = hardware_.MapBiosWindow();
    if (window.empty()) return Failed();
    const bool holds = BiosWindowHolds(window, field);
    hardware_.UnmapBiosWindow();
    return holds ? Done() : Failed();
}

Answer RequestHandler::ConfigWord(const Request& request, std::span<uint8_t> output) {
    if (output.size() < kWordSize) {
        return Refused(Refusal::ShortOutput, static_cast<uint32_t>(request.outputOffered), kWordSize);
    }
    uint32_t word = 0;
    if (!hardware_.ReadConfigWord(word)) return Failed();
    return Word(output, word);
}

// Beyond the standard header a caller may read only what the program reads:
// the host bridge's memory clock class and each SMBus function's base and
// host enable. Undefined registers lock some chipsets up.
bool RequestHandler::PciRegisterAllowed(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg) {
    if (reg < kPciHeaderBytes) return true;
    if (bus == 0 && device == 0 && function == 0) return reg == kHostBridgeMemClassRegister;
    Controller controllers[kMaxControllers];
    const size_t count = hardware_.FindControllers(controllers);
    for (size_t i = 0; i < count; ++i) {
        const Controller& c = controllers[i];
        if (c.bus != bus || c.device != device || c.function != function) continue;
        if (reg == (c.baseRegister & 0xFC) || reg == (c.enableRegister & 0xFC)) return true;
    }
    return false;
}

// A mechanism #1 address: enable bit 31, bus 23-16, device 15-11, function
// 10-8, register 7-2. Without the enable bit the hardware does no
// configuration cycle and the data port floats.
Answer RequestHandler::PciRead(const Request& request, std::span<uint8_t> output) {
    if (request.input.size() < kWordSize || output.size() < kWordSize) {
        return Refused(Refusal::ShortBuffers, static_cast<uint32_t>(request.input.size()),
                       static_cast<uint32_t>(request.outputOffered), kWordSize);
    }
    const uint32_t address = GetLe32(request.input, 0);
    if ((address & kPciEnableBit) == 0) return Word(output, kPciNoDevice);
    const auto bus = static_cast<uint8_t>(address >> 16);
    const auto device = static_cast<uint8_t>((address >> 11) & 0x1F);
    const auto function = static_cast<uint8_t>((address >> 8) & 0x7);
    const auto reg = static_cast<uint8_t>(address & 0xFC);
    if (!PciRegisterAllowed(bus, device, function, reg)) {
        return Refused(Refusal::PciRegister, bus, static_cast<uint32_t>(device) << 8 | function, reg);
    }
    uint32_t value = 0;
    if (!hardware_.ReadPciConfig(bus, device, function, reg, value)) return Failed();
    return Word(output, value);
}

Answer RequestHandler::SmbusWrite(const Request& request) {
    SmbusWriteRequest r;
    if (!ParseSmbusWriteRequest(request.input, r)) {
        return Refused(Refusal::ShortInput, static_cast<uint32_t>(request.input.size()),
                       static_cast<uint32_t>(kSmbusWriteRequestSize));
    }
    if (r.operation != static_cast<uint32_t>(kSmbusOperationBlockWrite)) {
        return Refused(Refusal::NotABlockWrite, r.operation);
    }
    if (r.count == 0 || r.count > smbus::kBlockBufferSize) return Refused(Refusal::CountOutOfRange, r.count);
    // The bytes first: a bad address fails the request before anything is
    // touched, and what is written cannot change under the transfer.
    Answer answer;
    const size_t got = request.callerMemory != nullptr
                           ? request.callerMemory->Read(r.dataAddress, std::span<uint8_t>(answer.data, r.count))
                           : 0;
    if (got < r.count) return Refused(Refusal::DataUnreadable, static_cast<uint32_t>(got), r.count);
    if (r.writeAddress != smbus::kClockGenWrite) return Refused(Refusal::NotClockGenerator, r.writeAddress);
    if (r.firstByteMask > 0xFF) return Refused(Refusal::MaskNotAByte, r.firstByteMask);

    Controller controllers[kMaxControllers];
    const size_t found = hardware_.FindControllers(controllers);
    const Controller* c = ControllerAt(std::span<const Controller>(controllers, found), r.ioBase);
    if (c == nullptr) return Refused(Refusal::NoSuchController, r.ioBase);
    if (r.controllerKind != static_cast<uint32_t>(c->kind)) {
        return Refused(Refusal::KindMismatch, r.controllerKind, c->ioBase, static_cast<uint32_t>(c->kind));
    }
    SmbusVariant variant = SmbusVariant::BlockBuffered;
    if (request.code == kReqNtSmbusBlockWrite) {
        variant = c->kind == kSmbusControllerBlockBuffer ? SmbusVariant::BlockBuffered : SmbusVariant::BlockByteWise;
    } else if (c->kind != kSmbusControllerByteWise) {
        // Both chip sequences are byte-by-byte controller sequences.
        return Refused(Refusal::NeedsByteWise);
    } else {
        variant = request.code == kReqNtIcs9248 ? SmbusVariant::Ics9248 : SmbusVariant::Rtm560;
    }
    if (!c->kernelOwned && !c->enabled) return Refused(Refusal::ControllerDisabled, c->ioBase);

    answer.wrote = true;
    answer.controller = *c;
    answer.variant = variant;
    answer.mask = static_cast<uint8_t>(r.firstByteMask);
    answer.dataLength = r.count;
    const bool ok = hardware_.WriteClockGen(*c, variant, clockGenAddress7_, answer.mask,
                                            std::span<const uint8_t>(answer.data, answer.dataLength));
    answer.outcome = ok ? Outcome::Done : Outcome::Failed;
    return answer;
}

// What the component sees, one finding a line (format in hw_driver.h). Only
// reads: a controller nobody may drive is not asked at all.
Answer RequestHandler::Probe(const Request& request, std::span<uint8_t> output) {
    // An input word with kProbeReadChip asks for the block read; an older
    // program sends none and gets none.
    const bool readChip = request.input.size() >= kWordSize && (GetLe32(request.input, 0) & kProbeReadChip) != 0;
    ReportText out(std::span<char>(reinterpret_cast<char*>(output.data()), output.size()));
    Controller controllers[kMaxControllers];
    const size_t found = hardware_.FindControllers(controllers);
    for (size_t i = 0; i < found; ++i) PutControllerLine(out, controllers[i]);
    for (size_t i = 0; i < found; ++i) {
        const Controller& c = controllers[i];
        if (c.ioBase == 0) continue;
        std::optional<bool> answers;
        if (c.kernelOwned || c.enabled) answers = hardware_.DeviceAnswers(c, clockGenAddress7_);
        // What answers is read back, never written, so board-id can name it;
        // only when the caller asks: a chip without read-back support can
        // hang the controller on a block read.
        uint8_t block[smbus::kBlockBufferSize] = {};
        const bool read = readChip && answers.value_or(false);
        const int32_t count = read ? hardware_.ReadClockGenBlock(c, clockGenAddress7_, block) : -1;
        if (count >= 0) {
            PutProbeClockGenLine(out, c.ioBase, clockGenAddress7_, count, block);
        } else {
            out.Put("clockgen controller=").PutHex(c.ioBase, 4).Put(" address=").PutHex(clockGenAddress7_, 2);
            out.Put(" answers=").Put(answers ? (*answers ? "yes" : "no") : "unknown");
            if (answers.value_or(false)) out.Put(read ? " readback=none" : " readback=skipped");
            out.Put("\n");
        }
    }
    uint32_t hostBridge = 0;
    if (hardware_.ReadPciConfig(0, 0, 0, 0, hostBridge) && hostBridge != kPciNoDevice) {
        PutProbeHostBridgeLine(out, hostBridge);
    }
    // The window's candidate strings, as many as the caller's buffer holds.
    const std::span<const uint8_t> window = hardware_.MapBiosWindow();
    if (!window.empty() && !out.overflowed()) {
        BiosCandidate candidates[kBiosStringsReported];
        const size_t count = FindBiosCandidates(window, candidates);
        for (size_t i = 0; i < count; ++i) {
            const size_t before = out.size();
            const std::string_view text(reinterpret_cast<const char*>(window.data() + candidates[i].offset),
                                        candidates[i].length);
            PutProbeBiosLine(out, candidates[i].offset, text, candidates[i].dmi);
            if (out.overflowed()) {
                out.Truncate(before);
                break;
            }
        }
    }
    if (!window.empty()) hardware_.UnmapBiosWindow();
    if (out.overflowed()) {
        return Refused(Refusal::ReportTooLong, static_cast<uint32_t>(out.wanted()),
                       static_cast<uint32_t>(request.outputOffered));
    }
    return Done(out.size());
}

}  // namespace vc::privileged
