// The console shell: every message box becomes one line on standard error,
// "Caption: text", with the text's trailing line feeds dropped.
#pragma once

#include "cli/text_out.h"

#include "core/base/shell.h"

namespace vc::cli {

class ConsoleShell : public Shell {
public:
    explicit ConsoleShell(TextOut& messages);
    void ShowMessage(const std::string& caption, const std::string& text) override;
    [[noreturn]] void EndProcess(int exitCode) override;

private:
    TextOut& messages_;
};

std::string MessageLine(const std::string& caption, const std::string& text);

}  // namespace vc::cli
