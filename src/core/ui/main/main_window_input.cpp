// Painting, child-button drawing, dragging by the background and the tray
// icon's notifications.
#include "core/ui/main/main_window.h"
#include "core/ui/main/main_window_tables.h"

namespace vc::ui {

void MainWindow::OnPaint() {
    PaintMainFace(shell_.Screen(), pictures_, fonts_, info_,
                  layoutMode_ == kLayoutCodeEasy ? Layout::Easy : Layout::Advance);
}

int32_t MainWindow::OnDrawItem(const DrawItemRequest& request) {
    for (const MainButton& button : buttons_) {
        if (button.present && button.skin.DrawItem(request) != 0) return 1;
    }
    return 0;
}

void MainWindow::OnLeftButtonDown(int16_t x, int16_t y) {
    dragAnchor_ = Point{x, y};
    shell_.CaptureMouse();
}

void MainWindow::OnMouseMove(uint32_t keyFlags, int16_t x, int16_t y) {
    if ((keyFlags & kMouseLeftButtonFlag) == 0) return;
    // The anchor stays put, so the point under the pointer stays fixed to
    // the window.
    const Rect onScreen = shell_.MainWindowScreenRect();
    const int32_t left = onScreen.left + (x - dragAnchor_.x);
    const int32_t top = onScreen.top + (y - dragAnchor_.y);
    shell_.MoveMainWindow(RectAt(left, top, windowRect_.Width(), windowRect_.Height()));
}

void MainWindow::OnLeftButtonUp() { shell_.ReleaseMouse(); }

void MainWindow::OnTrayNotify(uint32_t iconId, uint32_t mouseMessage) {
    if (iconId != kTrayIconId) return;
    if (mouseMessage == kTrayLeftDoubleClick) {
        // Back exactly as it was hidden: layout and panels untouched.
        shell_.ShowMainWindow(true);
        shell_.SetMenuItemEnabled(kMenuShow, false);
        shell_.SetMenuItemEnabled(kMenuHide, true);
    } else if (mouseMessage == kTrayRightButtonDown) {
        shell_.OpenPopupMenuAtPointer();
    }
}

}  // namespace vc::ui
