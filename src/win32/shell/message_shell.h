// The shell seam on Windows: every message is a MessageBoxA without owner,
// with its caption, its text exactly as given and one OK button.
#pragma once

#include <string>

#include "core/base/shell.h"

namespace vc::win32 {

class MessageShell : public Shell {
public:
    void ShowMessage(const std::string& caption, const std::string& text) override;
    [[noreturn]] void EndProcess(int exitCode) override;
};

}  // namespace vc::win32
