#include "qt/qt_program.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include <QCoreApplication>

#include "core/base/context.h"
#include "core/app/startup.h"
#include "core/ui/picture_store.h"
#include "host/process/host_process.h"
#include "launch/launched_machine.h"
#include "launch/program_folders.h"
#include "qt/qt_front_end.h"
#include "qt/qt_shell.h"
#include "qt/show_request.h"

namespace vc::qt {

namespace {

// How long a refused copy waits for the running copy to take its request.
constexpr int kShowRequestTimeoutMs = 1000;

// Remembers whether the single-copy guard refused this copy.
class GuardedProcess : public host::HostProcess {
public:
    using HostProcess::HostProcess;
    int32_t IncrementInstanceCounter() override {
        const int32_t count = HostProcess::IncrementInstanceCounter();
        refused_ = count >= 1;
        return count;
    }
    bool Refused() const { return refused_; }

private:
    bool refused_ = false;
};

}  // namespace

int RunDesktopProgram(launch::LaunchedMachine& machine, const SimOptions& options, QtShell& shell) {
    Context ctx{machine.Parts(), shell, kOsOther, {}};
    // Why the helper is out of reach, as its own message before the one of
    // whatever needed it.
    machine.ReportDriverProblemsTo([&shell](const std::string& why) { shell.ShowMessage("Message", why); });
    SystemInfo info;
    GuardedProcess process(machine.Autorun());
    const launch::ProgramFolders folders = launch::ProgramFoldersOfThisCopy();
    // Without a user folder the state files cannot be written; start-up goes
    // on and each write reports its failure as it does in a read-only folder.
    (void)launch::EnsureStateFolder(folders);
    ui::PictureStore pictures(folders.resources);
    QtFrontEnd frontEnd(pictures);
    if (options.quitAfterFirstFrame) {
        const auto started = options.started;
        frontEnd.SetOnFirstPaint([started] {
            const auto elapsed = std::chrono::steady_clock::now() - started;
            std::printf("first frame: %.1f ms\n", std::chrono::duration<double, std::milli>(elapsed).count());
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }
    StartupState state;
    if (folders.installed) {
        state.stateDirectoryChoice = folders.state;
        state.dataDirectoryChoice = folders.data;
    }
    const int exitCode = RunProgram(info, ctx, process, frontEnd, state);
    // The running copy decides whether the request shows anything.
    if (process.Refused()) (void)SendShowRequest(ShowRequestPath(), kShowRequestTimeoutMs);
    return exitCode;
}

}  // namespace vc::qt
