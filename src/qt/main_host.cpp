// velocore: the desktop program on this computer's hardware. It takes no
// options but --help; the rest of the command line is not read.
#include <cstdio>

#include <QApplication>

#include "launch/help_option.h"
#include "launch/launched_machine.h"
#include "qt/qt_program.h"
#include "qt/qt_shell.h"

int main(int argc, char** argv) {
    if (vc::launch::AsksForHelp(argc, argv)) {
        std::fputs(vc::launch::kHostUsage, stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    vc::qt::QtShell shell;
    const auto machine = vc::launch::ThisComputer();
    return vc::qt::RunDesktopProgram(*machine, {}, shell);
}
