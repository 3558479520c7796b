// A panel window system for the panel models: every request is one line in
// a log, controls keep their text, check mark and enabled state, clicks on
// check boxes and radio buttons change the mark first as the real controls
// do, and window timers fire on a virtual clock that the test advances.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ui/main/recording_main_shell.h"
#include "core/ui/panels/panel_shell.h"
#include "core/ui/recording_skinned_window.h"

namespace vc::ui::test {

class FakePanelWindow;

// All window timers of all panels, on one virtual millisecond clock. Timers
// due at the same moment fire in the order they were started.
class VirtualTimers {
public:
    void Start(FakePanelWindow* window, int32_t id, int32_t periodMs);
    void Stop(FakePanelWindow* window, int32_t id);
    bool Running(const FakePanelWindow* window, int32_t id) const;
    // Delivers every tick due up to and including `ms`, one at a time.
    void AdvanceTo(int64_t ms);
    int64_t Now() const { return now_; }

private:
    struct Timer {
        FakePanelWindow* window;
        int32_t id;
        int32_t periodMs;
        int64_t due;
        uint64_t order;
    };
    std::vector<Timer> timers_;
    int64_t now_ = 0;
    uint64_t started_ = 0;
};

struct FakeControl {
    ControlSpec desc;
    std::string text;
    bool checked = false;
    bool enabled = true;
};

class FakePanelWindow : public RecordingSkinnedWindow, public PanelWindow {
public:
    FakePanelWindow(VirtualTimers& timers, ScreenSize primary) : timers_(timers) { screenSize = primary; }

    // --- SkinnedWindowShell ---
    void Present(const Rect&) override { Log("present"); }

    // --- PanelWindow ---
    void CreateControl(const ControlSpec& desc) override {
        controlOrder.push_back(desc.id);
        if (desc.id != 0) controls[desc.id] = FakeControl{desc, desc.text, false, true};
    }
    void SetControlText(int32_t id, const std::string& text) override {
        Log("text " + std::to_string(id) + " [" + text + "]");
        if (auto found = controls.find(id); found != controls.end()) found->second.text = text;
    }
    void SetControlChecked(int32_t id, bool checked) override {
        if (auto found = controls.find(id); found != controls.end()) found->second.checked = checked;
    }
    void SetControlEnabled(int32_t id, bool enabled) override {
        if (auto found = controls.find(id); found != controls.end()) found->second.enabled = enabled;
    }
    Rect ScreenRect() const override { return rect; }
    void PlaceHidden(const Rect& r) override {
        Resize(r);
        visible = false;
        Log("place hidden " + RectText(r));
    }
    void MoveTo(const Rect& r) override {
        Resize(r);
        Log("move " + RectText(r));
    }
    void PlaceOnTop(const Rect& r) override {
        Resize(r);
        Log("place on top " + RectText(r));
    }
    void Show(bool show) override {
        if (show == visible) return;
        if (show && events != nullptr) events->OnShown();
        visible = show;
        Log(show ? "show" : "hide");
    }
    bool IsVisible() const override { return visible; }
    void StartTimer(int32_t id, int32_t periodMs) override {
        Log("timer start " + std::to_string(id) + " " + std::to_string(periodMs));
        timers_.Start(this, id, periodMs);
    }
    void StopTimer(int32_t id) override {
        Log("timer stop " + std::to_string(id));
        timers_.Stop(this, id);
    }

    // The user clicks a standard control: a check box flips its own mark, a
    // radio button sets its own, then the control sends its id. A disabled
    // control takes no click.
    void Click(int32_t id) {
        FakeControl& control = controls.at(id);
        if (!control.enabled) return;
        if (control.desc.kind == ControlKind::CheckBox) control.checked = !control.checked;
        if (control.desc.kind == ControlKind::RadioButton) control.checked = true;
        events->OnCommand(static_cast<uint32_t>(id));
    }
    const FakeControl& Control(int32_t id) const { return controls.at(id); }
    std::string Text(int32_t id) const { return controls.at(id).text; }

    PanelEvents* events = nullptr;
    Rect rect{0, 0, 0, 0};
    bool visible = false;
    std::map<int32_t, FakeControl> controls;
    std::vector<int32_t> controlOrder;

private:
    void Resize(const Rect& r) {
        if (r.Width() != rect.Width() || r.Height() != rect.Height()) {
            screen = Surface(r.Width(), r.Height(), kUnpainted);
        }
        rect = r;
    }

public:
    // What a fresh surface holds: the dialog background the frame leaves alone.
    static constexpr Pixel kUnpainted = Rgb(1, 2, 3);

private:
    VirtualTimers& timers_;
};

inline void VirtualTimers::Start(FakePanelWindow* window, int32_t id, int32_t periodMs) {
    Stop(window, id);
    timers_.push_back(Timer{window, id, periodMs, now_ + periodMs, started_++});
}

inline void VirtualTimers::Stop(FakePanelWindow* window, int32_t id) {
    std::erase_if(timers_, [&](const Timer& t) { return t.window == window && t.id == id; });
}

inline bool VirtualTimers::Running(const FakePanelWindow* window, int32_t id) const {
    for (const Timer& t : timers_) {
        if (t.window == window && t.id == id) return true;
    }
    return false;
}

inline void VirtualTimers::AdvanceTo(int64_t ms) {
    for (;;) {
        Timer* next = nullptr;
        for (Timer& t : timers_) {
            if (t.due > ms) continue;
            if (next == nullptr || t.due < next->due || (t.due == next->due && t.order < next->order)) next = &t;
        }
        if (next == nullptr) break;
        now_ = next->due;
        next->due += next->periodMs;
        FakePanelWindow* window = next->window;
        const int32_t id = next->id;  // the tick may stop or restart timers
        window->events->OnTimer(id);
    }
    now_ = ms;
}

// The main window's window system, with its panels as fake panel windows
// whose models PanelModels makes; ShowPanel and SetPanelText reach them.
class PanelRoutingShell : public RecordingMainShell {
public:
    PanelHandle CreatePanel(const PanelSpec& desc) override {
        const PanelHandle handle = RecordingMainShell::CreatePanel(desc);
        auto window = std::make_unique<FakePanelWindow>(timers, screenSize);
        std::unique_ptr<PanelEvents> model = models->Make(desc.templateId, *window);
        window->events = model.get();
        if (model != nullptr) model->OnInit();
        byTemplate[desc.templateId] = window.get();
        windows[handle] = std::move(window);
        panelModels[handle] = std::move(model);
        return handle;
    }
    void ShowPanel(PanelHandle panel, bool show) override {
        RecordingMainShell::ShowPanel(panel, show);
        windows.at(panel)->Show(show);
    }
    void SetPanelText(PanelHandle panel, int32_t fieldId, const std::string& text) override {
        RecordingMainShell::SetPanelText(panel, fieldId, text);
        windows.at(panel)->SetControlText(fieldId, text);
    }

    FakePanelWindow& Window(int32_t templateId) { return *byTemplate.at(templateId); }
    PanelEvents& Model(int32_t templateId) {
        for (auto& [handle, window] : windows) {
            if (window.get() == byTemplate.at(templateId)) return *panelModels.at(handle);
        }
        throw std::out_of_range("no such panel");
    }

    PanelModels* models = nullptr;
    VirtualTimers timers;
    std::map<PanelHandle, std::unique_ptr<FakePanelWindow>> windows;
    std::map<PanelHandle, std::unique_ptr<PanelEvents>> panelModels;
    std::map<int32_t, FakePanelWindow*> byTemplate;
};

}  // namespace vc::ui::test
