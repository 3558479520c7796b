// Lists the loaded clock generator's table, one "entry.N:" line per entry.
#pragma once

#include <ostream>

#include "core/board/system_info.h"

namespace vc::cli {

void PrintClockTable(std::ostream& out, const SystemInfo& info);

}  // namespace vc::cli
