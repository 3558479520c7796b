// The lines of the driver's probe report (format in hw_driver.h), written
// into a fixed buffer: the privileged components build the report with
// these, the NT driver in the kernel, so nothing here allocates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/hw/bios_strings.h"
#include "core/hw/report_text.h"

namespace vc {

// The longest line: a clock generator's 32 bytes read back.
inline constexpr size_t kProbeLineMax = 192;

// bios offset=0xF080 dmi=board text="CUBX"
void PutProbeBiosLine(ReportText& out, size_t offset, std::string_view text, DmiSource dmi);
// clockgen controller=0x5000 address=0x69 answers=yes readback=00,ff,7f
// `count` is what the block read answered (-1: nobody answered), `block`
// the bytes it kept.
void PutProbeClockGenLine(ReportText& out, uint16_t controller, uint8_t address7, int32_t count,
                          std::span<const uint8_t> block);
// hostbridge id=0x71908086
void PutProbeHostBridgeLine(ReportText& out, uint32_t id);

}  // namespace vc
