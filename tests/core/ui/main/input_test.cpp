// Dragging by the background, the tray icon's notifications and the
// drawing requests of the child buttons.
#include <ostream>

#include "expected_calls.h"
#include "main_window_fixture.h"

namespace vc::ui::test {
namespace {

struct DragCase {
    Point press;
    Point move;
};

void PrintTo(const DragCase& c, std::ostream* os) {
    *os << "press (" << c.press.x << "," << c.press.y << ") move (" << c.move.x << "," << c.move.y << ")";
}

class DragTest : public MainWindowTest, public ::testing::WithParamInterface<DragCase> {};

// The point under the pointer stays fixed to the window, also when the
// captured pointer is above or left of it.
TEST_P(DragTest, MovesByThePointersOffsetFromTheAnchor) {
    Create();
    const Rect start = shell.windowOnScreen;
    const DragCase& c = GetParam();
    const auto x = [](int32_t v) { return static_cast<int16_t>(v); };

    window->OnLeftButtonDown(x(c.press.x), x(c.press.y));
    window->OnMouseMove(kMouseLeftButtonFlag, x(c.move.x), x(c.move.y));
    const Rect moved = RectAt(start.left + c.move.x - c.press.x, start.top + c.move.y - c.press.y, 526, 216);
    window->OnMouseMove(kMouseLeftButtonFlag, x(c.move.x), x(c.move.y));  // the anchor did not move
    const Rect movedTwice = RectAt(moved.left + c.move.x - c.press.x, moved.top + c.move.y - c.press.y, 526, 216);
    window->OnLeftButtonUp();
    EXPECT_EQ(shell.Take(), (Calls{"capture", "move " + RectText(moved), "move " + RectText(movedTwice), "release"}));
}

INSTANTIATE_TEST_SUITE_P(Pointers, DragTest,
                         ::testing::Values(DragCase{{100, 150}, {130, 160}}, DragCase{{10, 120}, {-25, -40}},
                                           DragCase{{500, 200}, {-32768, 32767}}));

TEST_F(MainWindowTest, MovesWithoutTheLeftButtonDoNothing) {
    Create();
    window->OnLeftButtonDown(5, 5);
    shell.Take();
    window->OnMouseMove(0x0002, 50, 50);  // right button only
    EXPECT_EQ(shell.Take(), Calls{});
}

struct TrayCase {
    uint32_t iconId;
    uint32_t message;
    Calls expected;
};

void PrintTo(const TrayCase& c, std::ostream* os) {
    *os << "icon " << c.iconId << " message 0x" << std::hex << c.message << std::dec << " -> "
        << ::testing::PrintToString(c.expected);
}

class TrayTest : public MainWindowTest, public ::testing::WithParamInterface<TrayCase> {};

TEST_P(TrayTest, AnswersOnlyDoubleClickAndRightPressOnItsIcon) {
    Create();
    Run(40015);
    window->OnTrayNotify(GetParam().iconId, GetParam().message);
    EXPECT_EQ(shell.Take(), GetParam().expected);
}

const Calls kShown{"window show", "menu 40017 gray", "menu 40015 enable"};

INSTANTIATE_TEST_SUITE_P(Notifications, TrayTest,
                         ::testing::Values(TrayCase{101, kTrayLeftDoubleClick, kShown},
                                           TrayCase{101, kTrayRightButtonDown, {"popup menu"}},
                                           TrayCase{101, kTrayRightButtonUp, {}},
                                           TrayCase{101, kTrayLeftButtonDown, {}},
                                           TrayCase{101, kTrayLeftButtonUp, {}},
                                           TrayCase{101, kTrayMouseMove, {}},
                                           TrayCase{102, kTrayLeftDoubleClick, {}},
                                           TrayCase{102, kTrayRightButtonDown, {}}));

// Shown again exactly as hidden: the layout and open panels stay.
TEST_F(MainWindowTest, DoubleClickKeepsLayoutAndPanels) {
    CreateInAdvance();
    Run(317);
    Run(318);
    window->OnTrayNotify(101, kTrayLeftDoubleClick);
    EXPECT_EQ(shell.Take(), kShown);
    EXPECT_EQ(window->layoutMode(), 2);
    EXPECT_EQ(window->Button(317)->onState, 1);
    // A second double click while visible sets the same states.
    window->OnTrayNotify(101, kTrayLeftDoubleClick);
    EXPECT_EQ(shell.Take(), kShown);
}

TEST_F(MainWindowTest, DrawItemGoesToTheButtonWithThatId) {
    SetFineTune(0);
    Create();
    Surface face(113, 24);
    DrawItemRequest request{312, 0, &face, Rect{0, 0, 113, 24}, nullptr};
    EXPECT_EQ(window->OnDrawItem(request), 1);
    const Surface* normal = pictures.Get(143);
    ASSERT_NE(normal, nullptr);
    EXPECT_TRUE(face == *normal);

    window->Button(312)->onState = 1;
    request.itemState = kItemStateSelected;
    EXPECT_EQ(window->OnDrawItem(request), 1);
    EXPECT_TRUE(face == *pictures.Get(146));  // held down while on

    request.controlId = 325;  // no such button on this board
    EXPECT_EQ(window->OnDrawItem(request), 0);
}

}  // namespace
}  // namespace vc::ui::test
