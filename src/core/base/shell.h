// The shell seam: what the core needs from the window system and the process
// it runs in. The console shell prints messages on standard error, the Qt
// shell shows message boxes, tests record every call.
#pragma once

#include <string>

namespace vc {

inline constexpr const char* kCaptionMessage = "Message";
inline constexpr const char* kCaptionError = "Error";

class Shell {
public:
    virtual ~Shell() = default;

    // A modal message box without owner and with a single OK button.
    virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;

    // Ends the whole process with `exitCode`; never returns.
    [[noreturn]] virtual void EndProcess(int exitCode) = 0;
};

}  // namespace vc
