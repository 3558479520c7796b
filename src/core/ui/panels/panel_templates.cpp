#include "core/ui/panels/panel_templates.h"

#include <array>

#include "core/base/process.h"

namespace vc::ui {

namespace {

constexpr std::array<PanelRecord, 4> kPanels{{
    {kPanelEasyHelp, 195, 328, 697, 2, 319, 316},
    {kPanelAdvanceHelp, 171, 330, 647, 2, 316, 316},
    {kPanelOptions, 0, 331, 185, 2, 324, 322},
    {kPanelCpuInfo, 0, 332, 370, 2, 320, 317},
}};

// The processor panel's title is also the caption of its group box.
constexpr const char* kCpuInformation = "CPU Information";

constexpr std::array<PanelLook, 5> kLooks{{
    {kPanelEasyHelp, "Easy Help", PanelFrame::Skinned},
    {kPanelAdvanceHelp, "Advance Help", PanelFrame::Skinned},
    {kPanelOptions, "Options", PanelFrame::Skinned},
    {kPanelCpuInfo, kCpuInformation, PanelFrame::Skinned},
    {kPanelProgress, kProgramName, PanelFrame::ModalDialog},
}};

using K = ControlKind;
using A = TextAlign;

constexpr std::array<TemplateControl, 6> kOptionsControls{{
    {0, K::GroupBox, "Auto overclock", {6, 13, 95, 54}, A::Left, false},
    {kOptionYes, K::CheckBox, "Yes", {11, 23, 29, 10}, A::Left, false},
    {kOptionNo, K::CheckBox, "No", {41, 23, 25, 10}, A::Left, false},
    {kOptionUseSaved, K::RadioButton, "Use saved value", {11, 38, 70, 10}, A::Left, false},
    {kOptionUseOptimal, K::RadioButton, "Use optimize value", {11, 53, 80, 10}, A::Left, false},
    {kOptionSave, K::PushButton, "Save", {66, 23, 30, 9}, A::Centre, true},
}};

constexpr std::array<TemplateControl, 16> kCpuInfoControls{{
    {0, K::Label, "Vendor ID:", {10, 60, 35, 8}, A::Left, false},
    {0, K::Label, "Model ID:", {72, 79, 32, 8}, A::Left, false},
    {0, K::Label, "Stepping ID:", {128, 79, 41, 8}, A::Left, false},
    {0, K::GroupBox, kCpuInformation, {5, 10, 190, 86}, A::Left, false},
    {0, K::Label, "Family ID:", {10, 79, 34, 8}, A::Left, false},
    {0, K::Label, "Clock Multiplier:", {106, 24, 53, 8}, A::Left, false},
    {0, K::Label, "External :", {10, 24, 32, 8}, A::Left, false},
    {0, K::Label, "Internal :", {10, 40, 30, 8}, A::Left, false},
    {kFieldInternalClock, K::ValueField, "", {45, 40, 34, 11}, A::Right, false},
    {kFieldExternalClock, K::ValueField, "", {45, 25, 34, 10}, A::Right, false},
    {kFieldVendor, K::ValueField, "", {46, 60, 74, 10}, A::Centre, false},
    {kFieldMultiplier, K::ValueField, "", {161, 24, 24, 11}, A::Left, false},
    {kFieldFamily, K::ValueField, "", {46, 79, 19, 11}, A::Centre, false},
    {kFieldModel, K::ValueField, "", {106, 79, 14, 11}, A::Centre, false},
    {kFieldStepping, K::ValueField, "", {170, 79, 15, 11}, A::Centre, false},
    {kCpuRefresh, K::PushButton, "Refresh", {135, 60, 50, 12}, A::Centre, true},
}};

constexpr std::array<TemplateControl, 1> kProgressControls{{
    {kFieldProgressStatus, K::EditField, "", {5, 5, 105, 13}, A::Left, false},
}};

}  // namespace

const PanelRecord* FindPanelRecord(int32_t templateId) {
    for (const PanelRecord& record : kPanels) {
        if (record.templateId == templateId) return &record;
    }
    return nullptr;
}

const PanelLook* FindPanelLook(int32_t templateId) {
    for (const PanelLook& look : kLooks) {
        if (look.templateId == templateId) return &look;
    }
    return nullptr;
}

int32_t ClearedOpener(const PanelRecord& record, int32_t layoutMode) {
    if (layoutMode == 1) return record.clearedInEasy;
    if (layoutMode == 2) return record.clearedInAdvance;
    return 0;
}

std::span<const TemplateControl> TemplateControls(int32_t templateId) {
    switch (templateId) {
        case kPanelOptions: return kOptionsControls;
        case kPanelCpuInfo: return kCpuInfoControls;
        case kPanelProgress: return kProgressControls;
        default: return {};
    }
}

DialogRect TemplateSize(int32_t templateId) {
    switch (templateId) {
        case kPanelEasyHelp: return {0, 0, 200, 151};
        case kPanelAdvanceHelp: return {0, 0, 200, 150};
        case kPanelOptions: return {0, 0, 107, 72};
        case kPanelCpuInfo: return {0, 0, 200, 100};
        case kPanelProgress: return kProgressPopupUnits;
        default: return {0, 0, 0, 0};
    }
}

ControlSpec ToControlSpec(const TemplateControl& control) {
    return ControlSpec{control.id, control.kind, control.text, DialogRectToPixels(control.units), control.align,
                       control.tabStop};
}

}  // namespace vc::ui
