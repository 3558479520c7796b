// The panels as data: which picture each shows, where its close button
// sits, which main-window button its closing clears per layout, each
// window's title and frame, and the standard controls of the options,
// processor information and progress templates (in dialog units).
#pragma once

#include <cstdint>
#include <span>

#include "core/ui/panels/dialog_units.h"
#include "core/ui/panels/panel_shell.h"

namespace vc::ui {

// Frame pieces: title strip height, left and right edge widths, bottom edge height.
inline constexpr int32_t kFrameTitleHeight = 19;
inline constexpr int32_t kFrameLeftWidth = 7;
inline constexpr int32_t kFrameRightWidth = 6;
inline constexpr int32_t kFrameBottomHeight = 6;

// The close button: 17 x 13, a cross on an orange square, darker when held.
inline constexpr int32_t kCloseButtonWidth = 17;
inline constexpr int32_t kCloseButtonHeight = 13;
inline constexpr int32_t kPictureCloseNormal = 173;
inline constexpr int32_t kPictureCloseHeld = 172;

// The dialog manager's OK and Cancel (Enter and Esc).
inline constexpr int32_t kCommandOk = 1;
inline constexpr int32_t kCommandCancel = 2;

struct PanelRecord {
    int32_t templateId;
    int32_t contentPicture;  // drawn at (left edge, title strip); 0 none
    int32_t closeButtonId;
    int32_t closeX, closeY;  // client pixels, inside the title strip
    int32_t clearedInEasy;   // opener whose on-state closing clears, layoutMode 1
    int32_t clearedInAdvance;  // the same for layoutMode 2
};

// The four skinned panels; nullptr for any other template.
const PanelRecord* FindPanelRecord(int32_t templateId);

// The opener button closing clears for `layoutMode`; 0 when the layout is
// neither Easy nor Advance.
int32_t ClearedOpener(const PanelRecord& record, int32_t layoutMode);

// How the window system frames a panel's window.
enum class PanelFrame : int32_t {
    Skinned,      // no border of the system's: the panel paints its own frame
    ModalDialog,  // the system's modal-dialog frame, without a caption
};

struct PanelLook {
    int32_t templateId;
    const char* title;  // what task lists and window switchers call it
    PanelFrame frame;
};

// The look of the main window's panel or popup `templateId`; nullptr for
// any other template.
const PanelLook* FindPanelLook(int32_t templateId);

// A control of a dialog template.
struct TemplateControl {
    int32_t id;  // 0: never addressed
    ControlKind kind;
    const char* text;
    DialogRect units;
    TextAlign align;
    bool tabStop;
};

// The controls of template `templateId` in template order (empty for the
// help panels and unknown templates).
std::span<const TemplateControl> TemplateControls(int32_t templateId);

// The template's own size in dialog units. The skinned panels take their
// size from the frame pictures and ignore it; the window system's dialog
// resources carry it. Empty for unknown templates.
DialogRect TemplateSize(int32_t templateId);

// The control as the window system gets it: pixels.
ControlSpec ToControlSpec(const TemplateControl& control);

// Options panel controls.
inline constexpr int32_t kOptionYes = 1272;
inline constexpr int32_t kOptionNo = 1273;
inline constexpr int32_t kOptionUseSaved = 1270;
inline constexpr int32_t kOptionUseOptimal = 1271;
inline constexpr int32_t kOptionSave = 1015;

// Processor information panel fields (1039 and 1040 are in main_window_shell.h).
inline constexpr int32_t kFieldVendor = 1042;
inline constexpr int32_t kFieldMultiplier = 1041;
inline constexpr int32_t kFieldFamily = 1044;
inline constexpr int32_t kFieldModel = 1045;
inline constexpr int32_t kFieldStepping = 1046;
inline constexpr int32_t kCpuRefresh = 1054;

// The progress popup: 114 x 24 dialog units holding the status field.
inline constexpr int32_t kFieldProgressStatus = 1051;
inline constexpr DialogRect kProgressPopupUnits{0, 0, 114, 24};

}  // namespace vc::ui
