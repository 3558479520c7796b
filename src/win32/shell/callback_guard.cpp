#include "win32/shell/callback_guard.h"

#include <cstdio>

namespace vc::win32 {

void ReportEscapedException(const char* where, const char* what) noexcept {
    std::fprintf(stderr, "velocore: %s escaped %s\n", what, where);
    std::fflush(stderr);
}

}  // namespace vc::win32
