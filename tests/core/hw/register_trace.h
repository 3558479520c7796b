// SMBus controller traffic as a list of register steps, and ports that
// answer from a script, for the golden sequences of the write variants.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "core/hw/smbus_ports.h"
#include "core/hw/smbus_registers.h"
#include "support/recording_platform.h"

namespace vc::test {

inline constexpr uint64_t kPsPerMs = 1'000'000'000ull;

// Register traffic relative to `base`: "r2" reads offset 2, "w0:ff" writes
// 0xFF to offset 0, and "wait" stands for four or more milliseconds passing
// between two accesses or after the last one (until endPs).
inline std::vector<std::string> RegisterTrace(const std::vector<RecordingPlatform::Event>& events, uint16_t base,
                                              uint64_t endPs) {
    std::vector<std::string> out;
    uint64_t last = events.empty() ? endPs : events.front().atPs;
    auto gap = [&](uint64_t at) {
        if (at - last >= smbus::kStepWaitMs * kPsPerMs) out.push_back("wait");
        else if (at != last) out.push_back("short wait");
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
        gap(e.atPs);
        out.push_back(text);
        last = e.atPs;
    }
    gap(endPs);
    return out;
}

// Ports that record every access in RecordingPlatform's terms, answer reads
// from a script per port (0 once it is used up), and let each pause take
// exactly the step time.
class ScriptedPorts final : public SmbusPorts {
public:
    std::map<uint16_t, std::deque<uint8_t>> replies;
    std::vector<RecordingPlatform::Event> events;
    uint64_t nowPs = 0;

    uint8_t In(uint16_t port) override {
        Record("in8 %x", port, 0);
        auto& queue = replies[port];
        if (queue.empty()) return 0;
        const uint8_t value = queue.front();
        queue.pop_front();
        return value;
    }
    void Out(uint16_t port, uint8_t value) override { Record("out8 %x %x", port, value); }
    void Wait() override { nowPs += smbus::kStepWaitMs * kPsPerMs; }

    std::vector<std::string> Registers(uint16_t base) const { return RegisterTrace(events, base, nowPs); }

private:
    void Record(const char* format, unsigned a, unsigned b) {
        char text[32];
        std::snprintf(text, sizeof text, format, a, b);
        events.push_back({text, nowPs});
    }
};

}  // namespace vc::test
