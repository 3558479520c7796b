// The shell seam on the desktop: every message is a modal message box
// without owner, with its caption, its text exactly as given and one OK
// button.
#pragma once

#include <functional>
#include <string>

#include "core/base/shell.h"

class QMessageBox;

namespace vc::qt {

class QtShell : public Shell {
public:
    // Called with each box once it is up, inside its modal loop. Tests read
    // the box and close it, so nothing waits for a person.
    using Answerer = std::function<void(QMessageBox& box)>;

    void ShowMessage(const std::string& caption, const std::string& text) override;
    [[noreturn]] void EndProcess(int exitCode) override;

    void SetAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }

private:
    Answerer answerer_;
};

}  // namespace vc::qt
