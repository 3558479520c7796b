// velocore: the desktop program on this computer's hardware. It takes no
// options; the command line is not read.
#include <QApplication>

#include "launch/launched_machine.h"
#include "qt/qt_program.h"
#include "qt/qt_shell.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    vc::qt::QtShell shell;
    const auto machine = vc::launch::ThisComputer();
    return vc::qt::RunDesktopProgram(*machine, {}, shell);
}
