// Feeds arbitrary bytes to what reads a BIOS window and a driver's probe
// report: the string finder (the input's start lands in the search area,
// the rest low in the window, where an entry point in the search area may
// point its table) and the report parser. Every candidate must be one a
// record could hold, inside the search area, and offered once.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/hw/bios_strings.h"
#include "core/hw/bios_window.h"
#include "core/hw/probe_report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> window(vc::kBiosWindowEnd, 0xFF);
    const size_t high = std::min(size, vc::kBiosWindowEnd - vc::kBiosSearchFirst);
    std::copy(data, data + high, window.begin() + vc::kBiosSearchFirst);
    std::copy(data + high, data + std::min(size, high + vc::kBiosSearchFirst), window.begin());

    std::set<std::string> seen;
    for (const vc::FoundBiosString& found : vc::FindBiosStrings(window)) {
        if (found.text.empty() || found.text.size() > vc::kBiosStringMax) __builtin_trap();
        if (found.offset < vc::kBiosSearchFirst || found.offset + found.text.size() > vc::kBiosWindowEnd) {
            __builtin_trap();
        }
        if (!std::equal(found.text.begin(), found.text.end(), window.begin() + static_cast<long>(found.offset),
                        [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; })) {
            __builtin_trap();
        }
        if (!seen.insert(found.text).second) __builtin_trap();
    }

    const vc::ProbeReport report = vc::ParseProbeReport(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const vc::ProbeClockGen& clockGen : report.clockGens) {
        if (clockGen.readBack && clockGen.readBack->size() > 32) __builtin_trap();
    }
    return 0;
}
