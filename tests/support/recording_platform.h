// A platform that hands every call on to another one (a simulated machine)
// and records it in order: device opens and closes, requests with their
// buffers and answers, and port accesses, each with the time `now` gave, so
// a test sees what the program asked of the machine and the pauses between.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/base/platform.h"

namespace vc::test {

struct RecordedRequest {
    DeviceHandle handle = kNoDevice;
    uint32_t code = 0;
    std::vector<uint8_t> input;
    size_t outputSize = 0;
    std::vector<uint8_t> referenced;
    bool ok = false;
};

class RecordingPlatform final : public Platform {
public:
    // "open NAME nt|9x", "close H", "request CODE", "in8 PORT", "out8 PORT
    // VALUE", "in32 PORT", "out32 PORT VALUE", numbers in hex but H.
    struct Event {
        std::string what;
        uint64_t atPs;
    };

    explicit RecordingPlatform(Platform& inner, std::function<uint64_t()> nowPs = {})
        : inner_(inner), nowPs_(std::move(nowPs)) {}

    std::vector<Event> events;
    std::vector<RecordedRequest> requests;

    std::vector<std::string> What() const {
        std::vector<std::string> out;
        for (const auto& e : events) out.push_back(e.what);
        return out;
    }
    std::vector<RecordedRequest> RequestsOf(uint32_t code) const {
        std::vector<RecordedRequest> found;
        for (const auto& r : requests) {
            if (r.code == code) found.push_back(r);
        }
        return found;
    }
    void Clear() {
        events.clear();
        requests.clear();
    }

    OsVersion GetOsVersion() override { return inner_.GetOsVersion(); }
    DeviceHandle OpenDevice(const std::string& name, DeviceOpenMode mode) override {
        Record("open " + name + (mode == DeviceOpenMode::NtShared ? " nt" : " 9x"));
        return inner_.OpenDevice(name, mode);
    }
    void CloseDevice(DeviceHandle handle) override {
        Record("close " + std::to_string(handle));
        inner_.CloseDevice(handle);
    }
    bool DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) override {
        Record(Hex("request %x", request.code));
        const bool ok = inner_.DeviceIoControl(handle, request);
        requests.push_back({handle, request.code, {request.input.begin(), request.input.end()},
                            request.output.size(), {request.referenced.begin(), request.referenced.end()}, ok});
        return ok;
    }
    std::span<const uint8_t> ResolveBiosWindow(uint32_t address) override {
        return inner_.ResolveBiosWindow(address);
    }
    uint8_t InPort8(uint16_t port) override {
        Record(Hex("in8 %x", port));
        return inner_.InPort8(port);
    }
    void OutPort8(uint16_t port, uint8_t value) override {
        Record(Hex("out8 %x %x", port, value));
        inner_.OutPort8(port, value);
    }
    uint32_t InPort32(uint16_t port) override {
        Record(Hex("in32 %x", port));
        return inner_.InPort32(port);
    }
    void OutPort32(uint16_t port, uint32_t value) override {
        Record(Hex("out32 %x %x", port, value));
        inner_.OutPort32(port, value);
    }

private:
    void Record(std::string what) { events.push_back({std::move(what), nowPs_ ? nowPs_() : 0}); }
    static std::string Hex(const char* format, uint32_t a, uint32_t b = 0) {
        char text[64];
        std::snprintf(text, sizeof text, format, a, b);
        return text;
    }

    Platform& inner_;
    std::function<uint64_t()> nowPs_;
};

}  // namespace vc::test
