// Lists the loaded clock generator's table, one "entry.N:" line per entry.
#pragma once

#include "cli/text_out.h"
#include "core/board/system_info.h"

namespace vc::cli {

void PrintClockTable(TextOut& out, const SystemInfo& info);

}  // namespace vc::cli
