#include "dialog_script.h"

#include <cstdio>

#include "core/ui/main/main_window_tables.h"
#include "core/ui/panels/panel_templates.h"

namespace vc::tools {

namespace {

using ui::ControlKind;
using ui::TextAlign;

// The progress popup is a framed popup; the skinned panels draw their own frame.
const char* DialogStyle(int32_t templateId) {
    return templateId == ui::kPanelProgress ? "DS_MODALFRAME | WS_POPUP" : "WS_POPUP";
}

const char* StaticAlign(TextAlign align) {
    switch (align) {
        case TextAlign::Centre: return "SS_CENTER";
        case TextAlign::Right: return "SS_RIGHT";
        case TextAlign::Left: break;
    }
    return "SS_LEFT";
}

struct ControlClass {
    const char* windowClass;
    std::string style;
};

ControlClass ClassOf(const ui::TemplateControl& control) {
    switch (control.kind) {
        case ControlKind::GroupBox: return {"Button", "BS_GROUPBOX"};
        case ControlKind::Label: return {"Static", StaticAlign(control.align)};
        case ControlKind::ValueField: return {"Static", std::string(StaticAlign(control.align)) + " | SS_SUNKEN"};
        // Each choice is a group of its own: the panel, not the dialog
        // manager, makes them exclusive.
        case ControlKind::CheckBox: return {"Button", "BS_AUTOCHECKBOX | WS_GROUP"};
        case ControlKind::RadioButton: return {"Button", "BS_AUTORADIOBUTTON | WS_GROUP"};
        case ControlKind::PushButton: return {"Button", "BS_PUSHBUTTON"};
        // The only edit field is the progress popup's status line: read, never typed into.
        case ControlKind::EditField: return {"Edit", "ES_LEFT | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER"};
    }
    return {"Static", "SS_LEFT"};
}

std::string Quoted(const char* text) {
    std::string out = "\"";
    for (const char* c = text; *c; ++c) out += *c == '"' ? std::string("\"\"") : std::string(1, *c);
    return out + "\"";
}

std::string ControlLine(const ui::TemplateControl& control) {
    const ControlClass cls = ClassOf(control);
    std::string style = cls.style + " | WS_CHILD | WS_VISIBLE";
    if (control.tabStop) style += " | WS_TABSTOP";
    char line[256];
    std::snprintf(line, sizeof line, "    CONTROL %s, %d, \"%s\", %s, %d, %d, %d, %d\n", Quoted(control.text).c_str(),
                  control.id == 0 ? -1 : control.id, cls.windowClass, style.c_str(), control.units.x,
                  control.units.y, control.units.width, control.units.height);
    return line;
}

}  // namespace

std::string PanelDialogScript() {
    std::string out =
        "// The panels' dialog templates, written by tools/win_resources from the\n"
        "// core's template tables (src/core/ui/panels/panel_templates.cpp).\n"
        "// Do not edit: run win_resources write src/win32/shell resources.\n";
    for (const int32_t templateId : ui::kPanelTemplates) {
        const ui::DialogRect size = ui::TemplateSize(templateId);
        char head[160];
        std::snprintf(head, sizeof head, "\n%d DIALOG %d, %d, %d, %d\nSTYLE %s\nFONT 10, \"System\"\nBEGIN\n",
                      templateId, size.x, size.y, size.width, size.height, DialogStyle(templateId));
        out += head;
        for (const ui::TemplateControl& control : ui::TemplateControls(templateId)) out += ControlLine(control);
        out += "END\n";
    }
    return out;
}

}  // namespace vc::tools
