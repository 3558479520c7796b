// Where a write the clock generator did not take becomes a message: one box
// (caption "Message") naming the clock the bus runs at and the one applied.
#pragma once

#include <string>

#include "core/base/context.h"
#include "core/board/write_check.h"

namespace vc {

// The message for a failed check, e.g. "The clock generator did not take
// the new frequency: the bus runs at 100.20 MHz, not 133.60 MHz.\n"
std::string UntakenWriteMessage(const WriteCheck& check);

// Shows that message when the check failed; nothing otherwise.
void ReportWriteCheck(Context& ctx, const WriteCheck& check);

}  // namespace vc
