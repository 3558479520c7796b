#include "core/hw/probe_lines.h"

#include <algorithm>

namespace vc {

void PutProbeBiosLine(ReportText& out, size_t offset, std::string_view text, DmiSource dmi) {
    out.Put("bios offset=").PutHex(static_cast<uint32_t>(offset), 4).Put(" dmi=").Put(DmiSourceName(dmi));
    out.Put(" text=\"").Put(text).Put("\"\n");
}

void PutProbeClockGenLine(ReportText& out, uint16_t controller, uint8_t address7, int32_t count,
                          std::span<const uint8_t> block) {
    out.Put("clockgen controller=").PutHex(controller, 4).Put(" address=").PutHex(address7, 2);
    out.Put(" answers=").Put(count >= 0 ? "yes" : "no").Put(" readback=");
    if (count < 0) {
        out.Put("none\n");
        return;
    }
    const size_t kept = std::min(static_cast<size_t>(count), block.size());
    for (size_t i = 0; i < kept; ++i) {
        if (i != 0) out.Put(",");
        out.PutByte(block[i]);
    }
    out.Put("\n");
}

void PutProbeHostBridgeLine(ReportText& out, uint32_t id) { out.Put("hostbridge id=").PutHex(id, 8).Put("\n"); }

}  // namespace vc
