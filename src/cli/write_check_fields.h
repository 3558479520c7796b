// What the check after a write found, as verify.* lines.
#pragma once

#include "cli/field_printer.h"
#include "core/board/write_check.h"

namespace vc::cli {

// Prints nothing for a check that compared nothing. False when the write
// was not taken.
bool PrintWriteCheck(FieldPrinter& p, const WriteCheck& check);

}  // namespace vc::cli
