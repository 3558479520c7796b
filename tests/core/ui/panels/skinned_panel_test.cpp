// What every skinned panel does: size and centring at creation, the close
// button, the frame, the closing rules per layout and dragging.
#include <algorithm>
#include <ostream>

#include "core/ui/panels/panel_frame.h"
#include "core/ui/panels/skinned_panel.h"
#include "panels_fixture.h"

namespace vc::ui::test {
namespace {

struct PanelCase {
    const char* name;
    int32_t templateId;
    int32_t width, height;
    int32_t closeId, closeX;
};

void PrintTo(const PanelCase& c, std::ostream* os) {
    *os << c.name << " (template " << c.templateId << ", " << c.width << "x" << c.height << ")";
}

class PanelCreationTest : public PanelsTest, public ::testing::WithParamInterface<PanelCase> {};

// Centred on the 1024 x 768 screen, halves truncated, created hidden, with
// the close button in the title strip.
TEST_P(PanelCreationTest, IsCentredHiddenWithItsCloseButton) {
    Create();
    const PanelCase& c = GetParam();
    FakePanelWindow& panel = Panel(c.templateId);
    EXPECT_EQ(panel.rect, RectAt((1024 - c.width) / 2, (768 - c.height) / 2, c.width, c.height));
    EXPECT_FALSE(panel.visible);
    ASSERT_EQ(panel.buttons.size(), 1u);
    EXPECT_EQ(panel.buttons[0].id, c.closeId);
    EXPECT_EQ(panel.buttons[0].bounds, RectAt(c.closeX, 2, 17, 13));
    const auto& model = static_cast<const SkinnedPanel&>(shell.Model(c.templateId));
    EXPECT_EQ(model.CloseButton().FaceFor(0), pictures.Get(173));
    EXPECT_EQ(model.CloseButton().FaceFor(kItemStateSelected), pictures.Get(172));
}

INSTANTIATE_TEST_SUITE_P(Panels, PanelCreationTest,
                         ::testing::Values(PanelCase{"EasyHelp", 145, 729, 307, 328, 697},
                                           PanelCase{"AdvanceHelp", 148, 729, 388, 330, 647},
                                           PanelCase{"Options", 146, 214, 144, 331, 185},
                                           PanelCase{"CpuInfo", 147, 400, 200, 332, 370}),
                         [](const auto& row) { return std::string(row.param.name); });

struct CloseCase {
    const char* name;
    int32_t templateId;
    bool advance;
    uint32_t command;  // 1, 2 or the close button's id (with a notification code)
    int32_t cleared;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name << ": command 0x" << std::hex << c.command << std::dec << (c.advance ? " in advance" : " in easy");
}

class ClosingTest : public PanelsTest, public ::testing::WithParamInterface<CloseCase> {};

// Closing hides the panel and clears only the opener the table names for
// the current layout, which is repainted on the main window.
TEST_P(ClosingTest, ClearsTheOpenerOfTheLayout) {
    Create();
    if (GetParam().advance) window->OnCommand(kButtonAdvancedMode);
    const std::vector<int32_t> openers{316, 317, 319, 320, 322, 324};
    for (int32_t id : openers) window->Button(id)->onState = 1;
    FakePanelWindow& panel = Panel(GetParam().templateId);
    panel.Show(true);
    TakeAll();
    shell.Model(GetParam().templateId).OnCommand(GetParam().command);
    EXPECT_FALSE(panel.visible);
    for (int32_t id : openers) EXPECT_EQ(window->Button(id)->onState, id == GetParam().cleared ? 0 : 1) << id;
    const std::vector<std::string> log = shell.Take();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("invalidate ", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Panels, ClosingTest,
    ::testing::Values(CloseCase{"EasyHelpInEasy", 145, false, 328, 319},
                      CloseCase{"EasyHelpInAdvance", 145, true, 328, 316},
                      CloseCase{"AdvanceHelpInEasy", 148, false, 2, 316},
                      CloseCase{"AdvanceHelpInAdvance", 148, true, 1, 316},
                      CloseCase{"OptionsInEasy", 146, false, 331, 324},
                      CloseCase{"OptionsInAdvanceByEsc", 146, true, 2, 322},
                      CloseCase{"CpuInfoInEasyByEnter", 147, false, 1, 320},
                      CloseCase{"CpuInfoInAdvanceWithNotification", 147, true, 0x10000u | 332u, 317}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PanelsTest, OpenedAgainAfterClosingShowsTheSameControlStates) {
    Create();
    window->OnCommand(kButtonEasyOptions);
    Panel(kPanelOptions).Click(kOptionNo);
    shell.Model(kPanelOptions).OnCommand(331);
    window->OnCommand(kButtonEasyOptions);
    EXPECT_TRUE(Panel(kPanelOptions).visible);
    EXPECT_TRUE(Panel(kPanelOptions).Control(kOptionNo).checked);
    EXPECT_EQ(window->Button(kButtonEasyOptions)->onState, 1);
}

// Dragging under capture with the pointer left of and above the panel.
TEST_F(PanelsTest, DraggingFollowsThePointerAlsoAtNegativeCoordinates) {
    Create();
    FakePanelWindow& panel = Panel(kPanelCpuInfo);
    PanelEvents& model = shell.Model(kPanelCpuInfo);
    const Rect start = panel.rect;
    model.OnLeftButtonDown(10, 5);
    model.OnMouseMove(kMouseLeftButtonFlag, -20, -7);
    EXPECT_EQ(panel.rect, RectAt(start.left - 30, start.top - 12, 400, 200));
    // The anchor stays: the same pointer position moves nothing further,
    // a move from there to the right moves the panel that far.
    model.OnMouseMove(kMouseLeftButtonFlag, 10, 5);
    EXPECT_EQ(panel.rect, RectAt(start.left - 30, start.top - 12, 400, 200));
    model.OnMouseMove(kMouseLeftButtonFlag, 40, 5);
    EXPECT_EQ(panel.rect, RectAt(start.left, start.top - 12, 400, 200));
    // Without the left button nothing moves.
    model.OnMouseMove(0, 500, 500);
    EXPECT_EQ(panel.rect, RectAt(start.left, start.top - 12, 400, 200));
    model.OnLeftButtonUp();
    const std::vector<std::string> log = panel.Take();
    EXPECT_EQ(log.front(), "capture");
    EXPECT_EQ(log.back(), "release");
}

TEST_F(PanelsTest, CentredOnlyAtCreation) {
    Create();
    window->OnCommand(kButtonEasyHelp);
    PanelEvents& model = shell.Model(kPanelEasyHelp);
    model.OnLeftButtonDown(100, 10);
    model.OnMouseMove(kMouseLeftButtonFlag, 50, 40);
    model.OnLeftButtonUp();
    const Rect dragged = Panel(kPanelEasyHelp).rect;
    model.OnCommand(328);
    window->OnCommand(kButtonEasyHelp);
    EXPECT_TRUE(Panel(kPanelEasyHelp).visible);
    EXPECT_EQ(Panel(kPanelEasyHelp).rect, dragged);
}

bool SamePixels(const Surface& surface, int32_t x, int32_t y, const Surface& picture) {
    for (int32_t py = 0; py < picture.Height(); ++py) {
        for (int32_t px = 0; px < picture.Width(); ++px) {
            if (surface.At(x + px, y + py) != picture.At(px, py)) return false;
        }
    }
    return true;
}

// The help picture sits unscaled inside the frame; the frame's pieces are
// stretched whole to the panel's edges.
TEST_F(PanelsTest, HelpPanelPaintsItsPictureInsideTheStretchedFrame) {
    Create();
    FakePanelWindow& panel = Panel(kPanelAdvanceHelp);
    shell.Model(kPanelAdvanceHelp).OnPaint();
    const Surface& s = panel.screen;
    EXPECT_TRUE(SamePixels(s, 7, 19, *pictures.Get(171)));
    const Surface& title = *pictures.Get(kPictureFrameTitle);
    const Surface& right = *pictures.Get(kPictureFrameRight);
    const Surface& bottom = *pictures.Get(kPictureFrameBottom);
    const Surface& left = *pictures.Get(kPictureFrameLeft);
    EXPECT_EQ(s.At(0, 0), title.At(0, 0));
    EXPECT_EQ(s.At(728, 18), title.At(399, 18));
    EXPECT_EQ(s.At(0, 19), left.At(0, 0));
    EXPECT_EQ(s.At(723, 19), right.At(0, 0));
    EXPECT_EQ(s.At(728, 381), right.At(5, 280));
    EXPECT_EQ(s.At(0, 382), bottom.At(0, 0));
    EXPECT_EQ(s.At(728, 387), bottom.At(386, 5));
}

// The options panel shrinks the title strip and leaves its inner area to
// the dialog background.
TEST_F(PanelsTest, OptionsPanelPaintsOnlyTheFrame) {
    Create();
    FakePanelWindow& panel = Panel(kPanelOptions);
    shell.Model(kPanelOptions).OnPaint();
    const Surface& s = panel.screen;
    EXPECT_EQ(s.At(213, 0), pictures.Get(kPictureFrameTitle)->At(213 * 400 / 214, 0));
    EXPECT_EQ(s.At(213, 143), pictures.Get(kPictureFrameBottom)->At(213 * 387 / 214, 5));
    for (int32_t y = 19; y < 138; ++y) {
        for (int32_t x = 7; x < 208; ++x) ASSERT_EQ(s.At(x, y), FakePanelWindow::kUnpainted) << x << "," << y;
    }
}

// Every control of the templates lies inside its panel's frame, clear of
// the title strip and the edges, once converted to pixels.
TEST(PanelTemplates, ControlsFitInsideTheirFrames) {
    const struct {
        int32_t templateId;
        Rect inner;
    } panels[] = {{kPanelOptions, Rect{7, 19, 214 - 6, 144 - 6}},
                  {kPanelCpuInfo, Rect{7, 19, 400 - 6, 200 - 6}},
                  {kPanelProgress, DialogRectToPixels(kProgressPopupUnits)}};
    for (const auto& p : panels) {
        ASSERT_FALSE(TemplateControls(p.templateId).empty());
        for (const TemplateControl& control : TemplateControls(p.templateId)) {
            const Rect r = ToControlSpec(control).bounds;
            EXPECT_FALSE(r.IsEmpty()) << control.text;
            EXPECT_EQ(Intersect(r, p.inner), r) << p.templateId << " " << control.text;
        }
    }
    EXPECT_EQ(DialogRectToPixels(kProgressPopupUnits), RectAt(0, 0, 228, 48));
}

}  // namespace
}  // namespace vc::ui::test
