#include "cli/console_shell.h"

#include <cstdio>
#include <cstdlib>

namespace vc::cli {

ConsoleShell::ConsoleShell(TextOut& messages) : messages_(messages) {}

std::string MessageLine(const std::string& caption, const std::string& text) {
    std::string body = text;
    while (!body.empty() && body.back() == '\n') body.pop_back();
    return caption + ": " + body;
}

void ConsoleShell::ShowMessage(const std::string& caption, const std::string& text) {
    messages_ << MessageLine(caption, text) << '\n';
    messages_.Flush();
}

void ConsoleShell::EndProcess(int exitCode) {
    messages_.Flush();
    std::fflush(nullptr);
    std::exit(exitCode);
}

}  // namespace vc::cli
