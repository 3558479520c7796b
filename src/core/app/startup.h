// The program's entry: refuse a second copy, set the autorun entry, find the
// program directory, read save.dat, detect the machine, then hand over to
// the main window until it quits.
#pragma once

#include <cstdint>
#include <string>

#include "core/base/context.h"
#include "core/base/process.h"
#include "core/board/system_info.h"
#include "core/state/auto_apply_file.h"

namespace vc {

inline constexpr const char* kMsgBoardNotSupported = "Sorry!! We didn't support this mainboard.";

inline constexpr int32_t kLayoutEasy = 1;
inline constexpr int32_t kLayoutAdvance = 2;

// What start-up learns and keeps for the rest of the run.
struct StartupState {
    std::string startingDirectory;
    std::string programPath;
    // Set by the front end before start-up where the files do not live
    // beside the program (an installed copy); empty: the program directory.
    std::string stateDirectoryChoice;
    std::string dataDirectoryChoice;
    // Where the state files live (sysinfo.dat, save.dat, pending.dat); never
    // ends in a separator.
    std::string programDirectory;
    AutoApplySettings autoApply;
    int32_t layoutMode = 0;
};

// The front end's share of start-up.
class ProgramFrontEnd {
public:
    virtual ~ProgramFrontEnd() = default;
    // Loads the progress-strip frames and the lamp pictures.
    virtual void LoadPictures() {}
    // Registers the window class, creates the main window and runs the
    // message loop; answers the quit code (0 when the window could not be
    // created).
    virtual int RunMainWindow(SystemInfo& info, Context& ctx, StartupState& state) = 0;
};

// Answers the process exit code: 1 for a refused second copy, 0 when the
// detection failed, else the main window's quit code.
int RunProgram(SystemInfo& info, Context& ctx, ProcessServices& process, ProgramFrontEnd& frontEnd,
               StartupState& state);

}  // namespace vc
