// The standard controls of a panel template as Qt widgets: group boxes,
// labels, sunken value fields, check boxes and radio buttons that are each a
// group of their own, push buttons and a read-only one-line status field.
#pragma once

#include <cstdint>
#include <functional>

#include <QWidget>

#include "core/ui/panels/panel_shell.h"

namespace vc::qt {

// Creates the control for `desc` inside `parent` at its pixel bounds,
// visible, enabled and unchecked. Check boxes, radio buttons and push
// buttons call `command` with their id after a click has changed their mark.
QWidget* MakePanelControl(QWidget* parent, const ui::ControlSpec& desc, std::function<void(int32_t)> command);

// Text, check mark and enabled state of a control made above; each does
// nothing for a control of a kind that has no such thing.
void SetPanelControlText(QWidget& control, const QString& text);
void SetPanelControlChecked(QWidget& control, bool checked);
QString PanelControlText(const QWidget& control);

}  // namespace vc::qt
