// An owner-drawn child button: the parent draws its face (through the
// window's drawing request) and receives its command when it is clicked.
//
// As an owner-drawn button of the original window system: pressing shows the
// held-down face while the pointer stays on the button; releasing on it draws
// the released face and then sends the id with notification code 0. The
// second press of a double click sends the id with the double-click code
// (5) at once and neither holds the button down nor clicks it.
#pragma once

#include <cstdint>
#include <functional>

#include <QWidget>

#include "core/ui/window_host.h"

namespace vc::qt {

inline constexpr uint32_t kNotifyClicked = 0;
inline constexpr uint32_t kNotifyDoubleClicked = 5;

constexpr uint32_t CommandValue(uint32_t notification, int32_t id) {
    return (notification << 16) | (static_cast<uint32_t>(id) & 0xFFFFu);
}

class SkinButtonWidget : public QWidget {
public:
    using DrawFunction = std::function<int32_t(const ui::DrawItemRequest&)>;
    using CommandFunction = std::function<void(uint32_t commandValue)>;

    SkinButtonWidget(QWidget* parent, const ui::ChildButtonSpec& desc, DrawFunction draw,
                     CommandFunction command);

    int32_t Id() const { return id_; }
    bool IsHeldDown() const { return held_ && pointerInside_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int32_t id_;
    DrawFunction draw_;
    CommandFunction command_;
    bool held_ = false;
    bool pointerInside_ = false;
};

}  // namespace vc::qt
