// Window procedures, dialog procedures and timer ticks are entered from the
// window system's own code. An exception must never unwind through it: on
// i686 that ends the process on the spot, with no message and no cleanup.
// Every callback runs its work through Guarded, which reports an escaped
// exception on standard error and answers the callback's neutral result.
#pragma once

#include <exception>

namespace vc::win32 {

// Writes "velocore: <what> escaped <where>" to standard error.
void ReportEscapedException(const char* where, const char* what) noexcept;

template <typename Result, typename Work>
Result Guarded(const char* where, Result fallback, Work&& work) noexcept {
    try {
        return work();
    } catch (const std::exception& e) {
        ReportEscapedException(where, e.what());
    } catch (...) {
        ReportEscapedException(where, "an unknown exception");
    }
    return fallback;
}

}  // namespace vc::win32
