// A panel the main window owns: a separate window, created hidden, of the
// size the model computed, holding the text fields the model writes by id.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <QWidget>

#include "core/ui/main/main_window_shell.h"

class QLabel;
class QVBoxLayout;

namespace vc::qt {

class PanelWidget : public QWidget {
public:
    PanelWidget(QWidget* owner, const ui::PanelSpec& spec);

    int32_t TemplateId() const { return templateId_; }
    void SetFieldText(int32_t fieldId, const std::string& text);
    // Empty when the field was never written.
    std::string FieldText(int32_t fieldId) const;

private:
    int32_t templateId_;
    QVBoxLayout* layout_;
    std::map<int32_t, QLabel*> fields_;
};

}  // namespace vc::qt
