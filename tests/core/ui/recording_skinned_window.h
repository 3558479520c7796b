// What the recording windows of the main window and of the panels share:
// the screen surface, one log line per request in order, the child buttons
// asked for, and the primary screen they report. Each adds its own way of
// recording presented frames.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/ui/skinned_window_shell.h"

namespace vc::ui::test {

inline std::string RectText(const Rect& r) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
    return text;
}

class RecordingSkinnedWindow : public virtual SkinnedWindowShell {
public:
    RecordingSkinnedWindow() = default;
    RecordingSkinnedWindow(int32_t width, int32_t height) : screen(width, height) {}

    // --- SkinnedWindowShell ---
    Surface& Screen() override { return screen; }
    void Invalidate(const Rect& area, bool erase) override {
        Log("invalidate " + RectText(area) + (erase ? " erase" : ""));
    }
    ChildHandle CreateChildButton(const ChildButtonSpec& desc) override {
        Log("create button " + std::to_string(desc.id));
        buttons.push_back(desc);
        return static_cast<ChildHandle>(buttons.size());
    }
    ScreenSize PrimaryScreenSize() const override { return screenSize; }
    void CaptureMouse() override { Log("capture"); }
    void ReleaseMouse() override { Log("release"); }

    void Log(const std::string& line) { log.push_back(line); }
    // The log so far, which starts over: one step's calls.
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(log);
        return taken;
    }

    Surface screen;
    std::vector<std::string> log;
    std::vector<ChildButtonSpec> buttons;  // a button's handle is its index + 1
    ScreenSize screenSize{1024, 768};
};

}  // namespace vc::ui::test
