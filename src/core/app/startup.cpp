#include "core/app/startup.h"

#include "core/app/detection.h"

namespace vc {

int RunProgram(SystemInfo& info, Context& ctx, ProcessServices& process, ProgramFrontEnd& frontEnd,
               StartupState& state) {
    // A refused copy leaves the counter as it is; it lives only while some
    // copy runs, so nothing is locked out once the running copy ends.
    if (process.IncrementInstanceCounter() >= 1) return 1;

    state.startingDirectory = process.CurrentDirectory();
    state.programPath = process.ProgramPath();
    process.Autorun().SetAutorunEntry(kProgramName, state.programPath);
    const std::string beside = ProgramDirectoryOf(state.programPath);
    state.programDirectory = state.stateDirectoryChoice.empty() ? beside : state.stateDirectoryChoice;
    const std::string dataDirectory = state.dataDirectoryChoice.empty() ? beside : state.dataDirectoryChoice;

    if (!ReadAutoApplySettings(state.programDirectory, state.autoApply)) state.autoApply = {};
    frontEnd.LoadPictures();

    // The data files are opened by bare name in their folder.
    process.SetCurrentDirectory(dataDirectory);
    if (!DetectSystem(info, ctx)) {
        ctx.shell.ShowMessage(kCaptionMessage, kMsgBoardNotSupported);
        return 0;
    }
    process.SetCurrentDirectory(state.startingDirectory);

    state.layoutMode = kLayoutEasy;
    const int quitCode = frontEnd.RunMainWindow(info, ctx, state);
    process.DecrementInstanceCounter();
    return quitCode;
}

}  // namespace vc
