// vcctl: the console front end.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "launch/machine_choice.h"
#include "launch/program_folders.h"
#include "cli/options.h"
#include "cli/session.h"
#include "core/state/pending_startup_file.h"
#include "host/process/host_process.h"

namespace {

std::string DirectoryOf(const std::string& path) {
    const auto cut = path.find_last_of('/');
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vc::cli;
    Options options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto error = ParseOptions(args, options)) {
        std::cerr << "vcctl: " << *error << "\n" << kUsageText;
        return kExitUsage;
    }
    if (options.help) {
        std::cout << kUsageText;
        return kExitOk;
    }

    const std::string exeDir = DirectoryOf(vc::host::ExecutablePath());
    auto folders = vc::launch::FindProgramFolders(exeDir, vc::launch::ProcessUserEnvironment());
    std::string error;
    auto chosen = vc::launch::ChooseMachine(options.machine, {folders.machines, VC_MACHINES_DIR}, error);
    if (!chosen) {
        std::cerr << "vcctl: " << error << '\n';
        return kExitUsage;
    }
    if (options.dir) {
        std::string dir = *options.dir;
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        if (!std::filesystem::is_directory(dir)) {
            std::cerr << "vcctl: --dir " << dir << " is not a directory\n";
            return kExitUsage;
        }
        folders = vc::launch::WithOneFolder(std::move(folders), dir);
    } else if (!vc::launch::EnsureStateFolder(folders)) {
        std::cerr << "vcctl: cannot create the user folder "
                  << (folders.state.empty() ? std::string("(HOME is not set)") : folders.state)
                  << "; use --dir DIR\n";
        return kExitUsage;
    }

    Session session(std::move(chosen), folders.state, std::cout, std::cerr);
    session.dataDir = session.ctx.dataDirectory = folders.data;
    session.resourceDir = folders.resources;
    session.installed = folders.installed;
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
