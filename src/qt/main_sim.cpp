// velocore-sim: the desktop program on a simulated mainboard.
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>

#include "launch/help_option.h"
#include "launch/machine_choice.h"
#include "launch/sim_trace_file.h"
#include "qt/qt_program.h"
#include "qt/qt_shell.h"

int main(int argc, char** argv) {
    if (vc::launch::AsksForHelp(argc, argv)) {
        std::cout << vc::qt::kSimUsage;
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    std::vector<std::string> args;
    for (const QString& arg : QApplication::arguments().mid(1)) args.push_back(arg.toStdString());

    vc::qt::SimOptions options;
    if (const auto error = vc::qt::ParseSimOptions(args, options)) {
        std::cerr << "velocore-sim: " << *error << '\n' << vc::qt::kSimUsage;
        return 2;
    }
    if (options.help) {
        std::cout << vc::qt::kSimUsage;
        return 0;
    }
    const std::string catalogue = vc::launch::ProgramFoldersOfThisCopy().machines;
    std::string error;
    const auto machine = vc::launch::ChooseMachine(options.machine, {catalogue, VC_MACHINES_DIR}, error);
    if (!machine) {
        std::cerr << "velocore-sim: " << error << '\n';
        return 2;
    }
    // A simulated hang ends the program at once, as a hung machine would.
    vc::launch::EndProcessOnSimulatedHang(*machine);
    vc::qt::QtShell shell;
    const int exitCode = vc::qt::RunDesktopProgram(*machine, options, shell);
    if (!options.traceFile.empty() && !vc::launch::WriteSimulationTrace(*machine, options.traceFile))
        std::cerr << "velocore-sim: cannot write " << options.traceFile << '\n';
    return exitCode;
}
