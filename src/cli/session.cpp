#include "cli/session.h"

namespace vc::cli {

Session::Session(std::unique_ptr<launch::LaunchedMachine> machineIn, std::string programDirIn,
                 TextOut& outIn, TextOut& errIn)
    : machine(std::move(machineIn)),
      sim(machine->Simulation()),
      programDir(std::move(programDirIn)),
      dataDir(programDir),
      out(outIn),
      err(errIn),
      shell(errIn),
      ctx{machine->Parts(), shell, kOsOther, programDir} {
    // Why the helper is out of reach, before the message of whatever needed it.
    machine->ReportDriverProblemsTo([&err = errIn](const std::string& why) {
        err << "vcctl: " << why << '\n';
        err.Flush();
    });
}

}  // namespace vc::cli
