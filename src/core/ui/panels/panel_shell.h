// The seam between a panel model (the four skinned panels and the progress
// popup, all owned by the main window) and the window system, both ways.
//
// PanelWindow is what a panel model asks of its window: a borderless
// top-level window with a screen surface, owner-drawn child buttons (the
// close button) and mouse capture (SkinnedWindowShell), the standard
// controls of its dialog template, window timers, its place on the screen
// and its visibility. Every call is a plain request: nothing reports
// failure, and a request for a control id the window does not have does
// nothing.
//
// PanelEvents is what the window system hands the model: the events of
// every skinned window (SkinnedWindowEvents), initialisation, timer ticks
// and being shown.
//
// PanelModels builds a model for a panel window. The window system's
// MainWindowShell::CreatePanel makes the window (hidden, owned by the main
// window, of PanelSpec::size or, when that is empty, of no particular size),
// asks PanelModels::Make for its model, then delivers OnInit once before
// CreatePanel returns. The main window's ShowPanel and SetPanelText reach the
// same window: ShowPanel is PanelWindow::Show, SetPanelText is
// PanelWindow::SetControlText.
//
// Coordinates: control and button rectangles are pixels in the panel's
// client coordinates; window rectangles are pixels on the screen. Dialog
// units of the templates are converted by the model (dialog_units.h), so the
// window system never sees them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/ui/geometry.h"
#include "core/ui/main/main_window_shell.h"  // the panels' template and field ids
#include "core/ui/skinned_window_events.h"
#include "core/ui/skinned_window_shell.h"

namespace vc::ui {

// The kinds of standard control a panel template holds.
enum class ControlKind : int32_t {
    GroupBox,     // a frame with its caption in the top edge; no id, no input
    Label,        // static text, left-aligned; no id
    ValueField,   // static text with a sunken edge, written by id
    CheckBox,     // checks and clears itself on a click, then sends its id
    RadioButton,  // checks itself on a click, then sends its id
    PushButton,   // sends its id on a click; Enter sends it when it has focus
    EditField,    // a one-line status text the model writes by id: read-only,
                  // takes no focus, so it never shows a caret
};

enum class TextAlign : int32_t { Left, Centre, Right };

// A standard control, in the window's default dialog font and colours.
struct ControlSpec {
    int32_t id = 0;  // 0 for controls that are never addressed
    ControlKind kind = ControlKind::Label;
    std::string text;
    Rect bounds{0, 0, 0, 0};  // client pixels
    TextAlign align = TextAlign::Left;
    bool tabStop = false;
};

class PanelWindow : public virtual SkinnedWindowShell {
public:
    // WindowHost::Screen() is the panel's client area, as large as the
    // window: the model paints its skinned frame there. Pixels the model
    // does not paint (the inner area of the options and processor panels)
    // show the window system's dialog background; the standard controls are
    // drawn over the surface by the window system.

    // --- standard controls ---
    // Creates a visible, enabled, unchecked control with `desc.text`.
    virtual void CreateControl(const ControlSpec& desc) = 0;
    virtual void SetControlText(int32_t controlId, const std::string& text) = 0;
    // Check boxes and radio buttons only.
    virtual void SetControlChecked(int32_t controlId, bool checked) = 0;
    // A disabled control is grayed and takes no input; its check mark stays.
    virtual void SetControlEnabled(int32_t controlId, bool enabled) = 0;

    // --- place and visibility ---
    // The window's rectangle on the screen (outer edges = client edges: a
    // panel has no border).
    virtual Rect ScreenRect() const = 0;
    // Moves and sizes the window to `screenRect` and hides it.
    virtual void PlaceHidden(const Rect& screenRect) = 0;
    // Moves and sizes the window to `screenRect` and repaints it; visibility
    // and stacking stay as they are (dragging).
    virtual void MoveTo(const Rect& screenRect) = 0;
    // Moves and sizes the window to `screenRect` and raises it to the top of
    // the window order; visibility stays as it is.
    virtual void PlaceOnTop(const Rect& screenRect) = 0;
    // Shows or hides the window. Going from hidden to shown delivers
    // PanelEvents::OnShown before the window appears; a call that changes
    // nothing delivers nothing.
    virtual void Show(bool show) = 0;
    virtual bool IsVisible() const = 0;

    // --- window timers ---
    // Starts timer `timerId` (>= 1) of this window, or restarts it when it
    // runs: OnTimer(timerId) arrives every `periodMs` from now on, through
    // the event queue, until StopTimer. Ticks that fall due while an event
    // runs arrive once after it, not once per missed period.
    virtual void StartTimer(int32_t timerId, int32_t periodMs) = 0;
    // Stops it; a tick already due is not delivered. Stopping a timer that
    // does not run does nothing.
    virtual void StopTimer(int32_t timerId) = 0;
};

// OnPaint paints the frame (and a help panel's picture); the window system
// shows it with the controls on top. OnDrawItem serves the close button.
// OnCommand looks at the id in the low 16 bits only: clicks on the close
// button and the standard controls send their id; Enter sends 1 and Esc
// sends 2, as does the window system when it asks the panel to close. The
// mouse events are those on the panel's background, not on a control.
class PanelEvents : public SkinnedWindowEvents {
public:
    // Once, right after the model is made: size and place the window (hidden),
    // create the close button and the template's controls, fill them.
    // Returns 1.
    virtual int32_t OnInit() = 0;

    // A tick of a timer the model started on this window.
    virtual void OnTimer(int32_t timerId) = 0;

    // The window is becoming visible (after having been hidden).
    virtual void OnShown() = 0;
};

// Builds the model of one panel window.
class PanelModels {
public:
    virtual ~PanelModels() = default;
    // The model for dialog template `templateId` (145 146 147 148 188) in
    // `window`, which outlives it. Null for any other template: the window
    // then stays an empty hidden window.
    virtual std::unique_ptr<PanelEvents> Make(int32_t templateId, PanelWindow& window) = 0;
};

}  // namespace vc::ui
