#include "helper/request_handler.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "core/base/little_endian.h"
#include "core/board/freq_identification.h"
#include "core/hw/bios_window.h"
#include "core/hw/hw_driver.h"
#include "core/hw/probe_report.h"
#include "core/hw/smbus_access.h"
#include "core/hw/smbus_registers.h"
#include "core/hw/smbus_write_request.h"
#include "helper/pci_config_files.h"

namespace vc::helper {

namespace {

constexpr size_t kBiosFindInputSize = 16;
constexpr uint32_t kPciEnableBit = 0x80000000;
constexpr uint32_t kPciNoDevice = 0xFFFFFFFF;

WireResponse Done(std::vector<uint8_t> output = {}) { return {true, std::move(output)}; }
WireResponse Failed() { return {false, {}}; }

std::vector<uint8_t> Word(uint32_t value) {
    std::vector<uint8_t> bytes(4);
    PutLe32(bytes, 0, value);
    return bytes;
}

std::string Bytes(std::span<const uint8_t> bytes) {
    std::string text = "[";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i != 0) text += ' ';
        text += HexText(bytes[i], 2);
    }
    return text + "]";
}

const SmbusController* ControllerAt(const std::vector<SmbusController>& controllers, uint32_t ioBase) {
    for (const auto& c : controllers) {
        if (c.ioBase != 0 && c.ioBase == ioBase) return &c;
    }
    return nullptr;
}

}  // namespace

RequestHandler::RequestHandler(HelperHardware& hardware, LogSink log, uint8_t clockGenAddress7)
    : hardware_(hardware), log_(std::move(log)), clockGenAddress7_(clockGenAddress7) {}

WireResponse RequestHandler::Handle(const WireRequest& request, uint32_t uid) {
    switch (request.code) {
        case kReqNtBiosFind: return BiosFind(request, uid);
        case kReqNtIntelRatio:
        case kReqNtAmdRatio: return ConfigWord(request, uid);
        case kReqNtPciRead: return PciRead(request, uid);
        case kReqNtSmbusBlockWrite:
        case kReqNtIcs9248:
        case kReqNtRtm560: return SmbusWrite(request, uid);
        case kReqProbe: return Probe(request, uid);
        default: return Refuse(request, uid, "unknown request code");
    }
}

WireResponse RequestHandler::Refuse(const WireRequest& request, uint32_t uid, const std::string& reason) {
    const std::string line = "refused uid=" + std::to_string(uid) + " code=" + HexText(request.code, 8) + ": " + reason;
    if (refusals_ != nullptr) {
        refusals_->Refused(uid, line);
    } else {
        log_(line);
    }
    return Failed();
}

// The identification string and its terminator in a 16-byte field; a field
// without a terminator is refused before anything is read.
WireResponse RequestHandler::BiosFind(const WireRequest& request, uint32_t uid) {
    if (request.input.size() < kBiosFindInputSize) {
        return Refuse(request, uid, "short input: " + std::to_string(request.input.size()) + " of 16 bytes");
    }
    char field[kBiosFindInputSize];
    std::memcpy(field, request.input.data(), sizeof field);
    if (std::memchr(field, '\0', sizeof field) == nullptr) {
        return Refuse(request, uid, "identification string without a terminator");
    }
    std::vector<uint8_t> window;
    std::string why;
    if (!hardware_.ReadBiosWindow(window, why)) {
        log_("BIOS window unreadable: " + why);
        return Failed();
    }
    return BiosWindowHolds(window, field) ? Done() : Failed();
}

WireResponse RequestHandler::ConfigWord(const WireRequest& request, uint32_t uid) {
    if (request.outputLength < 4) {
        return Refuse(request, uid, "short output: " + std::to_string(request.outputLength) + " of 4 bytes");
    }
    uint32_t word = 0;
    std::string why;
    if (!hardware_.ReadConfigWord(word, why)) {
        log_("configuration word unreadable: " + why);
        return Failed();
    }
    return Done(Word(word));
}

// Beyond the standard header a member may read only what the program reads:
// the host bridge's memory clock class and each SMBus function's base and
// host enable. Undefined registers lock some chipsets up.
bool RequestHandler::PciRegisterAllowed(const std::string& name, uint8_t reg) {
    if (reg < kPciHeaderBytes) return true;
    if (name == kHostBridge) return reg == (kMemClassRegister & 0xFC);
    for (const auto& c : hardware_.Controllers()) {
        if (c.pci == name && (reg == (c.baseRegister & 0xFC) || reg == (c.enableRegister & 0xFC))) return true;
    }
    return false;
}

// A mechanism #1 address: enable bit 31, bus 23-16, device 15-11, function
// 10-8, register 7-2. Without the enable bit the hardware does no
// configuration cycle and the data port floats.
WireResponse RequestHandler::PciRead(const WireRequest& request, uint32_t uid) {
    if (request.input.size() < 4 || request.outputLength < 4) {
        return Refuse(request, uid, "short buffer: input " + std::to_string(request.input.size()) + ", output " +
                                        std::to_string(request.outputLength) + " of 4 bytes");
    }
    const uint32_t address = GetLe32(request.input, 0);
    if ((address & kPciEnableBit) == 0) return Done(Word(kPciNoDevice));
    const auto bus = static_cast<uint8_t>(address >> 16);
    const auto device = static_cast<uint8_t>((address >> 11) & 0x1F);
    const auto function = static_cast<uint8_t>((address >> 8) & 0x7);
    const auto reg = static_cast<uint8_t>(address & 0xFC);
    char name[16];
    std::snprintf(name, sizeof name, "0000:%02x:%02x.%x", bus, device, function);
    if (!PciRegisterAllowed(name, reg)) {
        return Refuse(request, uid, "PCI register " + HexText(reg, 2) + " of " + name + " is none the program reads");
    }
    uint32_t value = 0;
    std::string why;
    if (!hardware_.ReadPciConfig(bus, device, function, reg, value, why)) {
        log_("PCI configuration unreadable: " + why);
        return Failed();
    }
    return Done(Word(value));
}

WireResponse RequestHandler::SmbusWrite(const WireRequest& request, uint32_t uid) {
    SmbusWriteRequest r;
    if (!ParseSmbusWriteRequest(request.input, r)) {
        return Refuse(request, uid, "short input: " + std::to_string(request.input.size()) + " of 28 bytes");
    }
    if (r.operation != static_cast<uint32_t>(kSmbusOperationBlockWrite)) {
        return Refuse(request, uid, "operation " + std::to_string(r.operation) + " is not a block write");
    }
    if (r.count == 0 || r.count > smbus::kBlockBufferSize) {
        return Refuse(request, uid, "count " + std::to_string(r.count) + " is outside 1..32");
    }
    if (request.referenced.size() < r.count) {
        return Refuse(request, uid, std::to_string(request.referenced.size()) + " data bytes for a count of " +
                                        std::to_string(r.count));
    }
    if (r.writeAddress != smbus::kClockGenWrite) {
        return Refuse(request, uid, "address " + HexText(r.writeAddress, 2) + " is not the clock generator's (0xD2)");
    }
    if (r.firstByteMask > 0xFF) return Refuse(request, uid, "mask " + HexText(r.firstByteMask, 8) + " is not a byte");

    const auto controllers = hardware_.Controllers();
    const SmbusController* c = ControllerAt(controllers, r.ioBase);
    if (c == nullptr) return Refuse(request, uid, "ioBase " + HexText(r.ioBase, 4) + " is no SMBus controller PCI shows");
    if (r.controllerKind != static_cast<uint32_t>(c->kind)) {
        return Refuse(request, uid, "kind " + std::to_string(r.controllerKind) + " does not match the controller at " +
                                        HexText(c->ioBase, 4) + " (kind " + std::to_string(c->kind) + ")");
    }
    ClockGenWrite write;
    if (request.code == kReqNtSmbusBlockWrite) {
        write.variant = c->kind == kSmbusControllerBlockBuffer ? SmbusVariant::BlockBuffered : SmbusVariant::BlockByteWise;
    } else if (c->kind != kSmbusControllerByteWise) {
        // Both chip sequences are byte-by-byte controller sequences.
        return Refuse(request, uid, "the chip sequence needs a byte-by-byte controller (kind 2)");
    } else {
        write.variant = request.code == kReqNtIcs9248 ? SmbusVariant::Ics9248 : SmbusVariant::Rtm560;
    }
    if (!c->KernelOwned() && !c->enabled) {
        return Refuse(request, uid, "the controller at " + HexText(c->ioBase, 4) + " is disabled");
    }
    write.address7 = clockGenAddress7_;
    write.firstByteMask = static_cast<uint8_t>(r.firstByteMask);
    write.data.assign(request.referenced.begin(), request.referenced.begin() + r.count);

    std::string how;
    const bool ok = hardware_.WriteClockGen(*c, write, how);
    log_("write uid=" + std::to_string(uid) + " code=" + HexText(request.code, 8) + " ioBase=" + HexText(c->ioBase, 4) +
         " kind=" + std::to_string(c->kind) + " address=" + HexText(write.address7, 2) + " mask=" +
         HexText(write.firstByteMask, 2) + " bytes=" + Bytes(write.data) + " " + how + ": " + (ok ? "done" : "failed"));
    return ok ? Done() : Failed();
}

// What the helper sees, one finding a line (format in core/hw/hw_driver.h).
// Only reads: a controller nobody may drive is not asked at all.
WireResponse RequestHandler::Probe(const WireRequest& request, uint32_t uid) {
    std::string report;
    const auto controllers = hardware_.Controllers();
    for (const auto& c : controllers) {
        report += "controller kind=" + std::to_string(c.kind) + " base=" + HexText(c.ioBase, 4) + " pci=" + c.pci +
                  " driver=" + (c.driver.empty() ? "none" : c.driver) +
                  " adapter=" + (c.adapter.empty() ? "none" : c.adapter) + "\n";
    }
    for (const auto& c : controllers) {
        if (c.ioBase == 0) continue;
        std::optional<bool> answers;
        if (c.KernelOwned() || c.enabled) answers = hardware_.DeviceAnswers(c, clockGenAddress7_);
        // What answers is read back, never written, so board-id can name it.
        std::array<uint8_t, smbus::kBlockBufferSize> block{};
        const int32_t count = answers.value_or(false) ? hardware_.ReadClockGenBlock(c, clockGenAddress7_, block) : -1;
        if (count >= 0) {
            report += ProbeClockGenLine(c.ioBase, clockGenAddress7_, count, block);
        } else {
            report += "clockgen controller=" + HexText(c.ioBase, 4) + " address=" + HexText(clockGenAddress7_, 2) +
                      " answers=" + (answers ? (*answers ? "yes" : "no") : "unknown") +
                      (answers.value_or(false) ? " readback=none" : "") + "\n";
        }
    }
    uint32_t hostBridge = 0;
    std::string why;
    if (hardware_.ReadPciConfig(0, 0, 0, 0, hostBridge, why) && hostBridge != 0xFFFFFFFF) {
        report += ProbeHostBridgeLine(hostBridge);
    }
    // The window's candidate strings, as many as the caller's buffer holds.
    std::vector<uint8_t> window;
    if (hardware_.ReadBiosWindow(window, why)) {
        for (const FoundBiosString& found : FindBiosStrings(window)) {
            const std::string line = ProbeBiosLine(found);
            if (report.size() + line.size() > request.outputLength) break;
            report += line;
        }
    }
    if (report.size() > request.outputLength) {
        return Refuse(request, uid, "the report takes " + std::to_string(report.size()) + " bytes, " +
                                        std::to_string(request.outputLength) + " offered");
    }
    return Done(std::vector<uint8_t>(report.begin(), report.end()));
}

}  // namespace vc::helper
