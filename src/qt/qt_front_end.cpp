#include "qt/qt_front_end.h"

#include <cstdio>

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include "core/ui/main/main_window.h"
#include "core/ui/panels/panel_context.h"
#include "core/ui/panels/panel_set.h"
#include "core/ui/startup_pictures.h"
#include "qt/main_window_widget.h"
#include "qt/orderly_end.h"
#include "qt/show_request.h"
#include "qt/surface_image.h"

namespace vc::qt {

namespace {

// Icon 101 in its two sizes.
QIcon ProgramIcon(ui::PictureStore& pictures) {
    QIcon icon;
    for (const char* stem : {"101_16", "101_32"})
        if (const ui::Surface* picture = pictures.GetNamed(stem))
            icon.addPixmap(QPixmap::fromImage(ToImage(*picture)));
    return icon;
}

}  // namespace

MainWindowPair::MainWindowPair() = default;
MainWindowPair::MainWindowPair(MainWindowPair&&) noexcept = default;
MainWindowPair::~MainWindowPair() {
    // The models go first: the widget's children call into them.
    if (widget) {
        widget->SetEvents(nullptr);
        widget->DropPanelModels();
    }
    model.reset();
    panelModels.reset();
    panelEnv.reset();
}

bool CreateMainWindow(MainWindowPair& pair, SystemInfo& info, Context& ctx, ui::PictureStore& pictures,
                      const StartupState& state, std::function<void()> onFirstPaint) {
    if (!pair.widget) pair.widget = std::make_unique<MainWindowWidget>(ProgramIcon(pictures));
    pair.widget->SetOnFirstPaint(std::move(onFirstPaint));
    pair.model = std::make_unique<ui::MainWindow>(
        info, ctx, *pair.widget, pictures, ui::MainWindowSetup{state.programDirectory, state.autoApply});
    pair.autoApply = state.autoApply;
    pair.panelEnv = std::make_unique<ui::PanelContext>(ui::PanelContext{
        info, ctx, *pair.model, *pair.widget, pictures, pair.autoApply, state.programDirectory});
    pair.panelModels = std::make_unique<ui::PanelSet>(*pair.panelEnv);
    pair.widget->SetPanelModels(pair.panelModels.get());
    pair.widget->SetEvents(pair.model.get());
    if (!pair.model->OnCreate()) return false;
    // Shown as asked and painted at once.
    pair.widget->show();
    pair.widget->PaintPendingAreas();
    return true;
}

QtFrontEnd::QtFrontEnd(ui::PictureStore& pictures) : pictures_(pictures) {}
QtFrontEnd::~QtFrontEnd() = default;

void QtFrontEnd::LoadPictures() { ui::LoadStartupPictures(pictures_); }

int QtFrontEnd::RunMainWindow(SystemInfo& info, Context& ctx, StartupState& state) {
    MainWindowPair pair;
    // Closing the window, the session's end or a termination signal end the
    // program in order, as Exit does. Set up before the window exists: a
    // signal that comes while it is being made is taken once the loop runs.
    OrderlyEnd ending([&pair] {
        if (pair.model) pair.model->OnEnding();
    });
    if (!CreateMainWindow(pair, info, ctx, pictures_, state, onFirstPaint_)) return 0;
    MainWindowWidget* widget = pair.widget.get();
    ShowRequestListener showRequests(ShowRequestPath(), [widget] { widget->OnShowRequest(); });
    // Said at start too; the model says it again in a box when the window hides.
    if (!widget->TrayIconReachable()) std::fprintf(stderr, "%s\n", ui::kNoTrayHint);
    return QApplication::exec();
}

}  // namespace vc::qt
