// A number as the program prints it in logs, traces and reports: "0x" and
// `digits` upper-case hexadecimal digits at least.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vc {

inline std::string HexText(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

}  // namespace vc
