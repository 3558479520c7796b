// A window system that records every request of the main window, and every
// message box, as one line each in one log, in order. A run of presented
// frames (an animation) is one "present*" line.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/base/shell.h"
#include "core/ui/main/main_window_shell.h"
#include "core/ui/recording_skinned_window.h"
#include "support/recording_shell.h"

namespace vc::ui::test {

class RecordingMainShell : public RecordingSkinnedWindow, public MainWindowShell, public vc::Shell {
public:
    RecordingMainShell() : RecordingSkinnedWindow(526, 216) {}

    // --- vc::Shell ---
    void ShowMessage(const std::string& caption, const std::string& text) override {
        Log("message " + caption + ": " + text);
    }
    [[noreturn]] void EndProcess(int exitCode) override { throw vc::test::ProcessEnded{exitCode}; }

    // --- SkinnedWindowShell ---
    void Present(const Rect&) override {
        ++presents;
        if (log.empty() || log.back() != "present*") log.push_back("present*");
    }
    ChildHandle CreateChildButton(const ChildButtonSpec& desc) override {
        childVisible[desc.id] = true;
        return RecordingSkinnedWindow::CreateChildButton(desc);
    }

    // --- MainWindowShell ---
    void ShowChild(ChildHandle child, bool show) override {
        const int32_t id = buttons.at(child - 1).id;
        childVisible[id] = show;
        Log((show ? "show " : "hide ") + std::to_string(id));
    }
    void ShowMainWindow(bool show) override {
        visible = show;
        Log(show ? "window show" : "window hide");
    }
    bool IsMainWindowVisible() const override { return visible; }
    Rect MainWindowScreenRect() const override { return windowOnScreen; }
    void PlaceMainWindow(const Rect& r) override {
        windowOnScreen = r;
        visible = true;
        Log("place " + RectText(r));
    }
    void MoveMainWindow(const Rect& r) override {
        windowOnScreen = r;
        Log("move " + RectText(r));
    }
    void CloseMainWindow() override { Log("close"); }
    void SetOutline(std::span<const OutlineVertex> polygon) override {
        Log("outline " + std::to_string(polygon.size()));
    }
    void RepaintScreen() override { Log("repaint screen"); }
    void LoadPopupMenu() override { Log("load menu"); }
    void SetMenuItemEnabled(int32_t commandId, bool enabled) override {
        menuEnabled[commandId] = enabled;
        Log("menu " + std::to_string(commandId) + (enabled ? " enable" : " gray"));
    }
    void AddTrayIcon(uint32_t iconId, const std::string& tip) override {
        Log("tray add " + std::to_string(iconId) + " " + tip);
    }
    void RemoveTrayIcon(uint32_t iconId) override { Log("tray remove " + std::to_string(iconId)); }
    void OpenPopupMenuAtPointer() override { Log("popup menu"); }
    PanelHandle CreatePanel(const PanelSpec& desc) override {
        Log("create panel " + std::to_string(desc.templateId) + " " + std::to_string(desc.size.Width()) + "x" +
            std::to_string(desc.size.Height()));
        // Handles unlike template numbers, so a mix-up shows.
        const PanelHandle handle = static_cast<PanelHandle>(panelTemplates.size() + 1);
        panelTemplates[handle] = desc.templateId;
        return handle;
    }
    void ShowPanel(PanelHandle panel, bool show) override {
        Log(std::string(show ? "panel show " : "panel hide ") + std::to_string(panelTemplates.at(panel)));
    }
    void SetPanelText(PanelHandle panel, int32_t fieldId, const std::string& text) override {
        Log("panel text " + std::to_string(panelTemplates.at(panel)) + " " + std::to_string(fieldId) + " [" +
            text + "]");
    }

    // Timers never tick by themselves: a test delivers OnTimer.
    void StartTimer(int32_t timerId, int32_t periodMs) override {
        timers[timerId] = periodMs;
        Log("timer start " + std::to_string(timerId) + " " + std::to_string(periodMs));
    }
    void StopTimer(int32_t timerId) override {
        timers.erase(timerId);
        Log("timer stop " + std::to_string(timerId));
    }

    int presents = 0;
    std::map<int32_t, int32_t> timers;  // running: id -> period
    bool visible = false;
    Rect windowOnScreen{0, 0, 0, 0};
    std::map<int32_t, bool> childVisible;
    std::map<int32_t, bool> menuEnabled;
    std::map<PanelHandle, int32_t> panelTemplates;
};

}  // namespace vc::ui::test
