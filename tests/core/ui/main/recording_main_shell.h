// A window system that records every request of the main window, and every
// message box, as one line each in one log, in order. A run of presented
// frames (an animation) is one "present*" line.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/app/shell.h"
#include "core/ui/main/main_window_shell.h"
#include "support/recording_shell.h"

namespace vc::ui::test {

inline std::string RectText(const Rect& r) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
    return text;
}

class RecordingMainShell : public MainWindowShell, public vc::Shell {
public:
    RecordingMainShell() : screen(526, 216) {}

    // --- vc::Shell ---
    void ShowMessage(const std::string& caption, const std::string& text) override {
        Log("message " + caption + ": " + text);
    }
    [[noreturn]] void EndProcess(int exitCode) override { throw vc::test::ProcessEnded{exitCode}; }

    // --- WindowHost ---
    Surface& Screen() override { return screen; }
    void Present(const Rect&) override {
        ++presents;
        if (log.empty() || log.back() != "present*") log.push_back("present*");
    }
    void Invalidate(const Rect& area, bool erase) override {
        Log("invalidate " + RectText(area) + (erase ? " erase" : ""));
    }
    ChildHandle CreateChildButton(const ChildButtonSpec& desc) override {
        Log("create button " + std::to_string(desc.id));
        const ChildHandle handle = static_cast<ChildHandle>(childIds.size() + 1);
        childIds[handle] = desc.id;
        childVisible[desc.id] = true;
        return handle;
    }

    // --- MainWindowShell ---
    void ShowChild(ChildHandle child, bool show) override {
        const int32_t id = childIds.at(child);
        childVisible[id] = show;
        Log((show ? "show " : "hide ") + std::to_string(id));
    }
    void ShowMainWindow(bool show) override {
        visible = show;
        Log(show ? "window show" : "window hide");
    }
    bool IsMainWindowVisible() const override { return visible; }
    ScreenSize PrimaryScreenSize() const override { return screenSize; }
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
    void CaptureMouse() override { Log("capture"); }
    void ReleaseMouse() override { Log("release"); }
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

    void Log(const std::string& line) { log.push_back(line); }
    // The log so far, which starts over: one step's calls.
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(log);
        return taken;
    }

    Surface screen;
    std::vector<std::string> log;
    int presents = 0;
    bool visible = false;
    ScreenSize screenSize{1024, 768};
    Rect windowOnScreen{0, 0, 0, 0};
    std::map<ChildHandle, int32_t> childIds;
    std::map<int32_t, bool> childVisible;
    std::map<int32_t, bool> menuEnabled;
    std::map<PanelHandle, int32_t> panelTemplates;
};

}  // namespace vc::ui::test
