#include "qt/panel_widget.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vc::qt {

namespace {

// The progress popup brings its own size; this is it.
constexpr int kTemplateWidth = 240;
constexpr int kTemplateHeight = 90;

}  // namespace

PanelWidget::PanelWidget(QWidget* owner, const ui::PanelSpec& spec)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), templateId_(spec.templateId),
      layout_(new QVBoxLayout(this)) {
    if (spec.size.IsEmpty())
        setFixedSize(kTemplateWidth, kTemplateHeight);
    else
        setFixedSize(spec.size.Width(), spec.size.Height());
    setWindowTitle(QString::number(spec.templateId));
    hide();
}

void PanelWidget::SetFieldText(int32_t fieldId, const std::string& text) {
    auto found = fields_.find(fieldId);
    if (found == fields_.end()) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::number(fieldId));
        layout_->addWidget(label);
        found = fields_.emplace(fieldId, label).first;
    }
    found->second->setText(QString::fromStdString(text));
}

std::string PanelWidget::FieldText(int32_t fieldId) const {
    const auto found = fields_.find(fieldId);
    return found == fields_.end() ? std::string() : found->second->text().toStdString();
}

}  // namespace vc::qt
