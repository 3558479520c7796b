// vcctl: the console front end.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "launch/machine_choice.h"
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
    std::string error;
    auto chosen = vc::launch::ChooseMachine(options.machine, {exeDir + "/machines", VC_MACHINES_DIR}, error);
    if (!chosen) {
        std::cerr << "vcctl: " << error << '\n';
        return kExitUsage;
    }
    std::string programDir = options.dir.value_or(exeDir);
    while (programDir.size() > 1 && programDir.back() == '/') programDir.pop_back();
    if (!std::filesystem::is_directory(programDir)) {
        std::cerr << "vcctl: --dir " << programDir << " is not a directory\n";
        return kExitUsage;
    }

    Session session(std::move(chosen), programDir, std::cout, std::cerr);
    session.resourceDir = exeDir + "/resources";
    vc::launch::EndProcessOnSimulatedHang(*session.machine);
    int code = kExitOk;
    for (const auto& command : options.commands) {
        code = RunCommand(session, command);
        if (code != kExitOk) break;
    }
    if (session.startupPending) vc::ClearPendingStartup(session.programDir);
    return code;
}
