// velocore.exe: the desktop program on this computer's hardware. It takes no
// options; the command line is not read.
#include "launch/launched_machine.h"
#include "launch/sim_options.h"
#include "win32/shell/desktop_program.h"

int main() {
    const auto machine = vc::launch::ThisComputer();
    return vc::win32::RunDesktopProgram(*machine, vc::launch::SimOptions{});
}
