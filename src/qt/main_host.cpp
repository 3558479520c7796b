// velocore: the desktop program on this computer's hardware. It takes no
// options; the command line is not read.
#include <QApplication>

#include "qt/qt_program.h"
#include "qt/qt_shell.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    vc::qt::QtShell shell;
    return vc::qt::RunDesktopProgram(vc::qt::MachineKind::ThisComputer, {}, {}, shell);
}
