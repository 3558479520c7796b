#include "cli/write_check_fields.h"

#include "core/base/hex_text.h"

namespace vc::cli {

bool PrintWriteCheck(FieldPrinter& p, const WriteCheck& check) {
    if (!check.checked) return true;
    p.Real("verify.expectedBusMHz", check.expectedBusMHz);
    if (check.measuredBusMHz != 0.0) p.Real("verify.measuredBusMHz", check.measuredBusMHz);
    if (check.readBackSelect && check.expectedSelect) {
        p.Text("verify.expectedSelect", HexText(*check.expectedSelect, 2));
        p.Text("verify.readBackSelect", HexText(*check.readBackSelect, 2));
    }
    p.Text("verify.ok", check.ok ? "yes" : "no");
    return check.ok;
}

}  // namespace vc::cli
