#include "win32/shell/desktop_program.h"

#include <chrono>
#include <cstdio>

#include "core/app/startup.h"
#include "core/base/context.h"
#include "core/ui/main/main_window.h"
#include "core/ui/panels/panel_context.h"
#include "core/ui/panels/panel_set.h"
#include "core/ui/picture_store.h"
#include "core/ui/startup_pictures.h"
#include "host/process/host_process.h"
#include "win32/shell/main_window_host.h"
#include "win32/shell/message_shell.h"
#include "win32/shell/windows_api.h"

namespace vc::win32 {

namespace {

class Win32FrontEnd : public ProgramFrontEnd {
public:
    Win32FrontEnd(ui::PictureStore& pictures, const launch::SimOptions& options)
        : pictures_(pictures), options_(options) {}

    void LoadPictures() override { ui::LoadStartupPictures(pictures_); }

    int RunMainWindow(SystemInfo& info, Context& ctx, StartupState& state) override {
        MainWindowHost host(GetModuleHandleA(nullptr));
        ui::MainWindow model(info, ctx, host, pictures_,
                             ui::MainWindowSetup{state.programDirectory, state.autoApply});
        // The in-memory save.dat values the options panel edits.
        AutoApplySettings autoApply = state.autoApply;
        ui::PanelContext panelEnv{info, ctx, model, host, pictures_, autoApply, state.programDirectory};
        ui::PanelSet panelModels(panelEnv);
        host.SetPanelModels(&panelModels);
        host.SetEvents(&model);
        if (options_.quitAfterFirstFrame) host.SetOnFirstPaint([this] { ReportFirstFrame(); });
        if (!host.Create()) return 0;
        host.ShowFirstFrame();
        MSG message{};
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (host.TakeDialogMessage(message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        // The models go before the windows that call into them.
        host.SetEvents(nullptr);
        host.DropPanelModels();
        return static_cast<int>(message.wParam);
    }

private:
    void ReportFirstFrame() const {
        const auto elapsed = std::chrono::steady_clock::now() - options_.started;
        std::printf("first frame: %.1f ms\n", std::chrono::duration<double, std::milli>(elapsed).count());
        std::fflush(stdout);
        PostQuitMessage(0);
    }

    ui::PictureStore& pictures_;
    const launch::SimOptions& options_;
};

}  // namespace

int RunDesktopProgram(launch::LaunchedMachine& machine, const launch::SimOptions& options) {
    MessageShell shell;
    Context ctx{machine.Parts(), shell, kOsOther, {}};
    SystemInfo info;
    host::HostProcess process(machine.Autorun());
    const launch::ProgramFolders folders = launch::ProgramFoldersOfThisCopy();
    ui::PictureStore pictures(folders.resources);
    Win32FrontEnd frontEnd(pictures, options);
    StartupState state;
    return RunProgram(info, ctx, process, frontEnd, state);
}

}  // namespace vc::win32
