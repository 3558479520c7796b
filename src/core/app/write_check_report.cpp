#include "core/app/write_check_report.h"

#include <cstdio>

namespace vc {

std::string UntakenWriteMessage(const WriteCheck& check) {
    char text[160];
    // Without a measurement the chip's own read-back said no; the bus then
    // runs at whatever it ran at before, which only a measurement could tell.
    if (check.measuredBusMHz == 0.0) {
        std::snprintf(text, sizeof text,
                      "The clock generator did not take the new frequency: it still holds the old "
                      "setting, not %.2f MHz.\n",
                      check.expectedBusMHz);
    } else {
        std::snprintf(text, sizeof text,
                      "The clock generator did not take the new frequency: the bus runs at %.2f MHz, "
                      "not %.2f MHz.\n",
                      check.measuredBusMHz, check.expectedBusMHz);
    }
    return text;
}

void ReportWriteCheck(Context& ctx, const WriteCheck& check) {
    if (!check.checked || check.ok) return;
    ctx.shell.ShowMessage(kCaptionMessage, UntakenWriteMessage(check));
}

}  // namespace vc
