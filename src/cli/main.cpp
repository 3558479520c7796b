// vcctl: the console front end.
#include <cstdio>
#include <string>
#include <vector>

#include "launch/machine_choice.h"
#include "launch/program_folders.h"
#include "cli/options.h"
#include "cli/session.h"
#include "core/base/file_io.h"
#include "core/state/pending_startup_file.h"
#ifdef _WIN32
#include "cli/nt_driver/driver_command.h"
#endif

int main(int argc, char** argv) {
    using namespace vc::cli;
    TextOut out(stdout);
    TextOut err(stderr);
    Options options;
    const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef _WIN32
    // The NT port driver's installation, before any machine is chosen.
    if (!args.empty() && args[0] == "driver")
        return vc::ntdriver::RunDriverCommand({args.begin() + 1, args.end()}, out, err);
#endif
    if (const auto error = ParseOptions(args, options)) {
        err << "vcctl: " << *error << "\n" << kUsageText;
        return kExitUsage;
    }
    if (options.help) {
        out << kUsageText;
        return kExitOk;
    }

    auto folders = vc::launch::ProgramFoldersOfThisCopy();
    std::string error;
    auto chosen = vc::launch::ChooseMachine(options.machine, {folders.machines, VC_MACHINES_DIR}, error);
    if (!chosen) {
        err << "vcctl: " << error << '\n';
        return kExitUsage;
    }
    if (options.dir) {
        std::string dir = *options.dir;
        while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
        if (!vc::IsDirectory(dir)) {
            err << "vcctl: --dir " << dir << " is not a directory\n";
            return kExitUsage;
        }
        folders = vc::launch::WithOneFolder(std::move(folders), dir);
    } else if (!vc::launch::EnsureStateFolder(folders)) {
        err << "vcctl: cannot create the user folder "
                  << (folders.state.empty() ? std::string("(HOME is not set)") : folders.state)
                  << "; use --dir DIR\n";
        return kExitUsage;
    }

    Session session(std::move(chosen), folders.state, out, err);
    session.dataDir = session.ctx.dataDirectory = folders.data;
    session.resourceDir = folders.resources;
    session.installed = folders.installed;
    session.dirGiven = options.dir.has_value();
    session.shippedSources = folders.shippedSources;
    vc::launch::EndProcessOnSimulatedHang(*session.machine);
    int code = kExitOk;
    for (const auto& command : options.commands) {
        code = RunCommand(session, command);
        if (code != kExitOk) break;
    }
    if (session.startupPending) vc::ClearPendingStartup(session.programDir);
    return code;
}
