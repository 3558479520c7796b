// A machine that records every port access and device request in order and
// answers from scripted replies; its tick count advances by one on every
// read and starts just below the wrap-around.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "core/hw/machine.h"
#include "support/null_machine.h"

namespace vc::test {

struct RecordedRequest {
    DeviceHandle handle = kNoDevice;
    uint32_t code = 0;
    std::vector<uint8_t> input;
    size_t outputSize = 0;
    std::vector<uint8_t> referenced;
};

struct RequestReply {
    bool ok = true;
    std::vector<uint8_t> output;  // copied into the caller's buffer
};

class RecordingMachine : public NullMachine {
public:
    // --- scripting ----------------------------------------------------------
    std::map<uint16_t, std::deque<uint8_t>> in8Replies;  // 0 once used up
    std::map<uint16_t, uint32_t> in32Replies;
    std::map<uint32_t, RequestReply> requestReplies;     // by code; default: ok
    DeviceHandle openReply = 7;
    uint32_t now = 0xFFFFFFF0u;

    // --- record --------------------------------------------------------------
    // "open <name> <mode>", "close <h>", "request <code>", "in32 <port>",
    // "out32 <port> <value>", "in8 <port>", "out8 <port> <value>", each with
    // the tick count when it happened.
    struct Event {
        std::string what;
        uint32_t tick;
    };
    std::vector<Event> events;
    std::vector<RecordedRequest> requests;

    std::vector<std::string> What() const {
        std::vector<std::string> out;
        for (const auto& e : events) out.push_back(e.what);
        return out;
    }

    // Register traffic relative to `base`: "r2" reads offset 2, "w0:ff" writes
    // 0xFF to offset 0, and "wait" stands for four or more milliseconds
    // passing between two accesses or after the last one.
    std::vector<std::string> Registers(uint16_t base) const {
        std::vector<std::string> out;
        uint32_t last = events.empty() ? now : events.front().tick;
        auto gap = [&](uint32_t tick) {
            const uint32_t elapsed = tick - last;
            if (elapsed >= 4) out.push_back("wait");
            else if (elapsed != 0) out.push_back("short wait");
        };
        for (const auto& e : events) {
            unsigned port = 0;
            unsigned value = 0;
            char text[16];
            if (std::sscanf(e.what.c_str(), "in8 %x", &port) == 1) {
                std::snprintf(text, sizeof text, "r%x", port - base);
            } else if (std::sscanf(e.what.c_str(), "out8 %x %x", &port, &value) == 2) {
                std::snprintf(text, sizeof text, "w%x:%02x", port - base, value);
            } else {
                continue;
            }
            gap(e.tick);
            out.push_back(text);
            last = e.tick;
        }
        gap(now);
        return out;
    }

    // --- Machine ---------------------------------------------------------------
    OsVersion GetOsVersion() override { return {}; }
    DeviceHandle OpenDevice(const std::string& name, DeviceOpenMode mode) override {
        Record("open " + name + (mode == DeviceOpenMode::NtShared ? " nt" : " 9x"));
        return openReply;
    }
    void CloseDevice(DeviceHandle handle) override { Record("close " + std::to_string(handle)); }
    bool DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) override {
        Record(Hex("request", request.code));
        requests.push_back({handle, request.code, {request.input.begin(), request.input.end()},
                            request.output.size(),
                            {request.referenced.begin(), request.referenced.end()}});
        const RequestReply& reply = requestReplies[request.code];
        for (size_t i = 0; i < reply.output.size() && i < request.output.size(); ++i) {
            request.output[i] = reply.output[i];
        }
        return reply.ok;
    }
    std::span<const uint8_t> ResolveBiosWindow(uint32_t) override { return {}; }

    uint8_t InPort8(uint16_t port) override {
        Record(Hex("in8", port));
        auto& queue = in8Replies[port];
        if (queue.empty()) return 0;
        const uint8_t value = queue.front();
        queue.pop_front();
        return value;
    }
    void OutPort8(uint16_t port, uint8_t value) override { Record(Hex("out8", port, value)); }
    uint32_t InPort32(uint16_t port) override {
        Record(Hex("in32", port));
        return in32Replies[port];
    }
    void OutPort32(uint16_t port, uint32_t value) override { Record(Hex("out32", port, value)); }

    uint32_t TickCountMs() override { return now++; }

private:
    void Record(const std::string& what) { events.push_back({what, now}); }
    static std::string Hex(const char* what, uint32_t a) {
        char text[48];
        std::snprintf(text, sizeof text, "%s %x", what, a);
        return text;
    }
    static std::string Hex(const char* what, uint32_t a, uint32_t b) {
        char text[64];
        std::snprintf(text, sizeof text, "%s %x %x", what, a, b);
        return text;
    }
};

}  // namespace vc::test
