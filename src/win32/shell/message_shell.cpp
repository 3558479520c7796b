#include "win32/shell/message_shell.h"

#include "win32/shell/windows_api.h"

#include <cstdio>
#include <cstdlib>

namespace vc::win32 {

void MessageShell::ShowMessage(const std::string& caption, const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

void MessageShell::EndProcess(int exitCode) {
    std::fflush(nullptr);
    std::exit(exitCode);
}

}  // namespace vc::win32
