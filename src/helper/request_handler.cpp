#include "helper/request_handler.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>

#include "core/base/hex_text.h"
#include "core/hw/privileged_requests.h"

namespace vc::helper {

namespace {

// The helper's machine as the shared handler sees it; what could not be
// read is logged with the reason the system gave.
class Seam final : public privileged::Hardware {
public:
    Seam(HelperHardware& hardware, const LogSink& log) : hardware_(hardware), log_(log) {}

    std::span<const uint8_t> MapBiosWindow() override {
        std::string why;
        if (hardware_.ReadBiosWindow(window_, why)) return window_;
        log_("BIOS window unreadable: " + why);
        return {};
    }
    void UnmapBiosWindow() override {}

    bool ReadConfigWord(uint32_t& word) override {
        std::string why;
        if (hardware_.ReadConfigWord(word, why)) return true;
        log_("configuration word unreadable: " + why);
        return false;
    }

    bool ReadPciConfig(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg, uint32_t& value) override {
        std::string why;
        if (hardware_.ReadPciConfig(bus, device, function, reg, value, why)) return true;
        log_("PCI configuration unreadable: " + why);
        return false;
    }

    size_t FindControllers(std::span<privileged::Controller> out) override {
        controllers_ = hardware_.Controllers();
        size_t found = 0;
        for (const SmbusController& c : controllers_) {
            unsigned domain = 0, bus = 0, device = 0, function = 0;
            if (found == out.size() ||
                std::sscanf(c.pci.c_str(), "%x:%x:%x.%x", &domain, &bus, &device, &function) != 4) {
                continue;
            }
            privileged::Controller& shown = out[found++];
            shown = privileged::Controller{};
            shown.bus = static_cast<uint8_t>(bus);
            shown.device = static_cast<uint8_t>(device);
            shown.function = static_cast<uint8_t>(function);
            shown.vendor = c.vendor;
            shown.deviceId = c.device;
            shown.kind = c.kind;
            shown.ioBase = c.ioBase;
            shown.enabled = c.enabled;
            shown.kernelOwned = c.KernelOwned();
            shown.baseRegister = c.baseRegister;
            shown.enableRegister = c.enableRegister;
            std::snprintf(shown.driver, sizeof shown.driver, "%s", c.driver.c_str());
            std::snprintf(shown.adapter, sizeof shown.adapter, "%s", c.adapter.c_str());
            std::snprintf(shown.acpiRegion, sizeof shown.acpiRegion, "%s", c.acpiRegion.c_str());
        }
        return found;
    }

    bool WriteClockGen(const privileged::Controller& controller, SmbusVariant variant, uint8_t address7, uint8_t mask,
                       std::span<const uint8_t> data) override {
        const SmbusController* c = Find(controller);
        if (c == nullptr) return false;
        ClockGenWrite write;
        write.variant = variant;
        write.address7 = address7;
        write.firstByteMask = mask;
        write.data.assign(data.begin(), data.end());
        WriteOutcome outcome = hardware_.WriteClockGen(*c, write, how_);
        // Sent again once when nothing reached the device: a clock
        // generator's select write sets the same register to the same byte
        // however often it comes, so a repeat cannot leave the chip other
        // than one write that went through would (and here the first one
        // did not reach it at all).
        if (outcome == WriteOutcome::NotSent) {
            const std::string first = how_;
            outcome = hardware_.WriteClockGen(*c, write, how_);
            how_ = first + ", nothing sent; again " + how_;
        }
        return outcome == WriteOutcome::Done;
    }

    std::optional<bool> DeviceAnswers(const privileged::Controller& controller, uint8_t address7) override {
        const SmbusController* c = Find(controller);
        return c != nullptr ? hardware_.DeviceAnswers(*c, address7) : std::nullopt;
    }

    int32_t ReadClockGenBlock(const privileged::Controller& controller, uint8_t address7,
                              std::span<uint8_t> block) override {
        const SmbusController* c = Find(controller);
        return c != nullptr ? hardware_.ReadClockGenBlock(*c, address7, block) : -1;
    }

    // Which way the last write went.
    const std::string& how() const { return how_; }

private:
    const SmbusController* Find(const privileged::Controller& controller) const {
        for (const SmbusController& c : controllers_) {
            if (c.ioBase == controller.ioBase) return &c;
        }
        return nullptr;
    }

    HelperHardware& hardware_;
    const LogSink& log_;
    std::vector<uint8_t> window_;
    std::vector<SmbusController> controllers_;
    std::string how_;
};


std::string Bytes(std::span<const uint8_t> bytes) {
    std::string text = "[";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i != 0) text += ' ';
        text += HexText(bytes[i], 2);
    }
    return text + "]";
}

}  // namespace

RequestHandler::RequestHandler(HelperHardware& hardware, LogSink log, uint8_t clockGenAddress7)
    : hardware_(hardware), log_(std::move(log)), clockGenAddress7_(clockGenAddress7) {}

WireResponse RequestHandler::Handle(const WireRequest& request, uint32_t uid) {
    // Every line a request causes is the client's: limited per uid.
    const LogSink log = refusals_ == nullptr ? log_ : LogSink([this, uid](const std::string& line) {
        refusals_->Refused(uid, line);
    });
    Seam seam(hardware_, log);
    privileged::RequestHandler handler(seam, clockGenAddress7_);
    privileged::BytesAtHand data(request.referenced);
    std::vector<uint8_t> output(request.outputLength);
    const privileged::Request asked{request.code, request.input, request.outputLength, &data};
    const privileged::Answer answer = handler.Handle(asked, output);

    const std::string code = HexText(request.code, 8);
    if (answer.outcome == privileged::Outcome::Refused) {
        char reason[160];
        privileged::RefusalText(answer, reason);
        log("refused uid=" + std::to_string(uid) + " code=" + code + ": " + reason);
        return {false, {}};
    }
    if (answer.wrote) {
        const auto& c = answer.controller;
        log("write uid=" + std::to_string(uid) + " code=" + code + " ioBase=" + HexText(c.ioBase, 4) +
             " kind=" + std::to_string(c.kind) + " address=" + HexText(clockGenAddress7_, 2) + " mask=" +
             HexText(answer.mask, 2) + " bytes=" + Bytes(std::span<const uint8_t>(answer.data, answer.dataLength)) +
             " " + seam.how() + ": " + (answer.outcome == privileged::Outcome::Done ? "done" : "failed"));
    }
    output.resize(answer.outputLength);
    return {answer.outcome == privileged::Outcome::Done, std::move(output)};
}

}  // namespace vc::helper
