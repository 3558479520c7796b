#include "qt/panel_controls.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vc::qt {

namespace {

// A radio button that is a group of its own: a click always checks it,
// even when it is checked already, and never clears any other.
class LoneRadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override { setChecked(true); }
};

Qt::Alignment AlignmentOf(ui::TextAlign align) {
    switch (align) {
        case ui::TextAlign::Centre: return Qt::AlignHCenter | Qt::AlignVCenter;
        case ui::TextAlign::Right: return Qt::AlignRight | Qt::AlignVCenter;
        case ui::TextAlign::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, ui::TextAlign align) {
    auto* label = new QLabel(text, parent);
    // Texts are shown as they are, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(AlignmentOf(align));
    return label;
}

}  // namespace

QWidget* MakePanelControl(QWidget* parent, const ui::ControlSpec& desc, std::function<void(int32_t)> command) {
    const QString text = QString::fromStdString(desc.text);
    const int32_t id = desc.id;
    QWidget* control = nullptr;
    QAbstractButton* button = nullptr;
    switch (desc.kind) {
        case ui::ControlKind::GroupBox: control = new QGroupBox(text, parent); break;
        case ui::ControlKind::Label: control = MakeLabel(parent, text, desc.align); break;
        case ui::ControlKind::ValueField: {
            QLabel* field = MakeLabel(parent, text, desc.align);
            field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            control = field;
            break;
        }
        case ui::ControlKind::CheckBox: control = button = new QCheckBox(text, parent); break;
        case ui::ControlKind::RadioButton: {
            auto* radio = new LoneRadioButton(text, parent);
            radio->setAutoExclusive(false);
            control = button = radio;
            break;
        }
        case ui::ControlKind::PushButton: {
            auto* push = new QPushButton(text, parent);
            // Enter presses it while it has the focus.
            push->setAutoDefault(true);
            control = button = push;
            break;
        }
        case ui::ControlKind::EditField: {
            auto* edit = new QLineEdit(text, parent);
            edit->setAlignment(AlignmentOf(desc.align));
            // A status line: nothing to type, so no focus and no caret.
            edit->setReadOnly(true);
            control = edit;
            break;
        }
    }
    control->setGeometry(desc.bounds.left, desc.bounds.top, desc.bounds.Width(), desc.bounds.Height());
    control->setFocusPolicy(desc.tabStop || button ? Qt::StrongFocus : Qt::NoFocus);
    if (button && command)
        QObject::connect(button, &QAbstractButton::clicked, parent, [command, id] { command(id); });
    control->show();
    return control;
}

void SetPanelControlText(QWidget& control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(&control)) label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(&control)) edit->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(&control)) button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(&control)) group->setTitle(text);
}

void SetPanelControlChecked(QWidget& control, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(&control);
    if (button && button->isCheckable()) button->setChecked(checked);
}

QString PanelControlText(const QWidget& control) {
    if (auto* label = qobject_cast<const QLabel*>(&control)) return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(&control)) return edit->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(&control)) return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(&control)) return group->title();
    return {};
}

}  // namespace vc::qt
