// The lines of the driver's probe report (format in hw_driver.h) that
// vcctl board-id reads, written and read here once: the simulated driver
// and the helper write them, the program reads them. Lines of other kinds,
// and keys a line does not know, are skipped, so both sides may grow.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/hw/bios_strings.h"
#include "core/hw/probe_lines.h"

namespace vc {

struct ProbeClockGen {
    uint16_t controller = 0;
    bool answersReported = false;  // the oldest helper gives no answers key
    bool answers = false;          // answers=yes
    bool asked = true;             // answers=unknown: the controller was not asked
    bool readBackReported = false;               // an older helper gives no readback key
    bool readBackSkipped = false;                // readback=skipped: the read was not asked for
    std::optional<std::vector<uint8_t>> readBack;  // none: the block read failed
};

struct ProbeReport {
    std::vector<FoundBiosString> biosStrings;
    std::vector<ProbeClockGen> clockGens;
    std::optional<uint32_t> hostBridgeId;
};

// Each line as a string (probe_lines.h writes them without allocating).

// bios offset=0xF080 dmi=board text="CUBX"
std::string ProbeBiosLine(const FoundBiosString& found);
// clockgen controller=0x5000 address=0x69 answers=yes readback=00,ff,7f
// `count` is what the block read answered (-1: nobody answered), `block`
// the bytes it kept.
std::string ProbeClockGenLine(uint16_t controller, uint8_t address7, int32_t count,
                              std::span<const uint8_t> block);
// hostbridge id=0x71908086
std::string ProbeHostBridgeLine(uint32_t id);

ProbeReport ParseProbeReport(std::string_view report);

}  // namespace vc
