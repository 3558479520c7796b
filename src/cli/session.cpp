#include "cli/session.h"

namespace vc::cli {

Session::Session(std::unique_ptr<Machine> machineIn, sim::SimMachine* simIn, std::string programDirIn,
                 std::ostream& outIn, std::ostream& errIn)
    : machine(std::move(machineIn)),
      sim(simIn),
      programDir(std::move(programDirIn)),
      out(outIn),
      err(errIn),
      shell(errIn),
      ctx{*machine, shell, kOsOther, programDir} {}

}  // namespace vc::cli
