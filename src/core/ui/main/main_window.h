// The main window: two layouts of one skinned 526 x 216 face, its picture
// buttons and number displays, the command table behind the buttons and the
// tray menu, the panel toggles, dragging and the tray notifications. It
// reaches the window system only through MainWindowShell and the machine
// and messages only through the Context.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/base/context.h"
#include "core/board/system_info.h"
#include "core/state/auto_apply_file.h"
#include "core/ui/lamps.h"
#include "core/ui/main/main_face.h"
#include "core/ui/main/main_window_places.h"
#include "core/ui/main/main_window_shell.h"
#include "core/ui/picture_store.h"
#include "core/ui/skin_button.h"

namespace vc::ui {

// What start-up hands the window.
struct MainWindowSetup {
    std::string programDirectory;  // where sysinfo.dat lives
    AutoApplySettings autoApply;   // read from save.dat at start-up
};

// Panel sizes worked out from the frame pictures at creation.
struct PanelSizes {
    Rect advanceHelp{0, 0, 0, 0};
    Rect easyHelp{0, 0, 0, 0};
    Rect options{0, 0, 214, 144};
    Rect cpuInfo{0, 0, 400, 200};
};

class MainWindow : public MainWindowEvents {
public:
    MainWindow(SystemInfo& info, Context& ctx, MainWindowShell& shell, PictureStore& pictures,
               MainWindowSetup setup);

    // Events from the window system.
    int32_t OnCreate() override;
    void OnPaint() override;
    int32_t OnDrawItem(const DrawItemRequest& request) override;
    void OnCommand(uint32_t commandValue) override;
    void OnLeftButtonDown(int16_t x, int16_t y) override;
    void OnMouseMove(uint32_t keyFlags, int16_t x, int16_t y) override;
    void OnLeftButtonUp() override;
    void OnTrayNotify(uint32_t iconId, uint32_t mouseMessage) override;
    void OnTimer(int32_t timerId) override;
    void OnEnding() override;

    // Hide the Advance set, then show the Easy set.
    void ShowEasyControls();
    // Show the Advance set, then hide the Easy set.
    void ShowAdvanceControls();
    void HideAllControls();
    void EnterAdvanceLayout();
    // Measures the processor clock `refreshCount` times once the Easy face is up.
    void EnterEasyLayout(int32_t refreshCount);

    // The window's part of automatic overclocking, for the progress popup:
    // mark the optimal entry in force (button 312 on), write it, measure
    // twice, repaint the Easy clock display and button 312. Always 1.
    int32_t AutoOverclock();
    // Fields 1039 and 1040 of the processor information panel get the last
    // measured processor and bus clocks, "%4.2f".
    void WriteCpuInfoFields();

    int32_t layoutMode() const { return layoutMode_; }
    int32_t autoOptimized() const { return autoOptimized_; }
    const Rect& windowRect() const { return windowRect_; }
    const PanelSizes& panelSizes() const { return panelSizes_; }
    PanelHandle Panel(int32_t templateId) const;
    // Null for a button the window does not have (the fine-tune pair on
    // boards without fine tuning).
    SkinButton* Button(int32_t id);
    const SkinButton* Button(int32_t id) const;

private:
    struct MainButton {
        SkinButton skin;
        bool present = false;
    };
    struct CommandRow;
    static const CommandRow* FindCommand(int32_t id);

    // Commands (the table is in main_window_commands.cpp).
    void Save();
    void Load();
    void Go();
    void Up();
    void Down();
    void Default();
    void AdvanceMode();
    void EasyModeButton();
    void EasyModeMenu();
    void AutoOptimize();
    void PowerOff();
    void MenuHide();
    void MenuShow();
    void Exit();
    void FineTuneIndicator();
    // The window was hidden: without a tray, say once how to get it back.
    void HintWhenUnreachable();
    bool TogglePanel(int32_t buttonId);

    void Measure(int32_t times);
    void InvalidateFourDisplays();
    void SetMainOutline(int32_t layoutCode, const Rect& invalidate);
    void ShowSet(std::span<const int32_t> ids, bool show);
    void LeaveLayoutPanels(std::span<const int32_t> panels, std::span<const int32_t> clearedButtons,
                           std::span<const int32_t> invalidatedButtons);
    void CreateButtons();
    void LoadPanelFrames();
    void CreatePanels();
    void ApplyStartupChoice();
    // The start-up application lasted: pending.dat goes, the timer stops.
    void SettleStartupChoice();

    SystemInfo& info_;
    Context& ctx_;
    MainWindowShell& shell_;
    PictureStore& pictures_;
    MainWindowSetup setup_;

    int32_t layoutMode_ = 1;
    int32_t autoOptimized_ = 0;
    bool startupPending_ = false;  // pending.dat names the start-up write
    bool noTrayHintShown_ = false;
    Rect windowRect_{0, 0, kMainWidth, kMainHeight};
    Point dragAnchor_;
    const Surface* easyBackground_ = nullptr;
    const Surface* advanceBackground_ = nullptr;
    MainFonts fonts_;
    LampSet lamps_{};
    std::array<MainButton, kMainButtonCount> buttons_{};
    PanelSizes panelSizes_;
    std::array<PanelHandle, 5> panels_{};  // in kPanelTemplates order
};

}  // namespace vc::ui
