#include "cli/console_shell.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace vc::cli {

ConsoleShell::ConsoleShell(std::ostream& messages) : messages_(messages) {}

std::string MessageLine(const std::string& caption, const std::string& text) {
    std::string body = text;
    while (!body.empty() && body.back() == '\n') body.pop_back();
    return caption + ": " + body;
}

void ConsoleShell::ShowMessage(const std::string& caption, const std::string& text) {
    messages_ << MessageLine(caption, text) << '\n';
    messages_.flush();
}

void ConsoleShell::EndProcess(int exitCode) {
    std::cout.flush();
    messages_.flush();
    std::fflush(nullptr);
    std::exit(exitCode);
}

}  // namespace vc::cli
