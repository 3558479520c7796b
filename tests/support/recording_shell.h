// A shell that records every message and turns the end of the process into
// an exception the test can catch, so failure paths run to their end.
#pragma once

#include <string>
#include <vector>

#include "core/base/shell.h"

namespace vc::test {

struct ProcessEnded {
    int exitCode;
};

struct ShownMessage {
    std::string caption;
    std::string text;
    bool operator==(const ShownMessage&) const = default;
};

class RecordingShell : public Shell {
public:
    void ShowMessage(const std::string& caption, const std::string& text) override {
        messages.push_back({caption, text});
    }
    [[noreturn]] void EndProcess(int exitCode) override { throw ProcessEnded{exitCode}; }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : messages) texts.push_back(m.text);
        return texts;
    }

    std::vector<ShownMessage> messages;
};

}  // namespace vc::test
