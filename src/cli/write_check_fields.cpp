#include "cli/write_check_fields.h"

#include <cstdio>
#include <string>

namespace vc::cli {
namespace {

std::string ByteText(uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

}  // namespace

bool PrintWriteCheck(FieldPrinter& p, const WriteCheck& check) {
    if (!check.checked) return true;
    p.Real("verify.expectedBusMHz", check.expectedBusMHz);
    if (check.measuredBusMHz != 0.0) p.Real("verify.measuredBusMHz", check.measuredBusMHz);
    if (check.readBackSelect && check.expectedSelect) {
        p.Text("verify.expectedSelect", ByteText(*check.expectedSelect));
        p.Text("verify.readBackSelect", ByteText(*check.readBackSelect));
    }
    p.Text("verify.ok", check.ok ? "yes" : "no");
    return check.ok;
}

}  // namespace vc::cli
