// Finding machine descriptions: the embedded default machine, files of the
// catalogue under machines/ by name, or any description file by path.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sim/machine_description.h"
#include "sim/sim_machine.h"

namespace vc {
// machines/default.machine, embedded at build time.
extern const std::string_view kEmbeddedDefaultMachine;
}  // namespace vc

namespace vc::sim {

inline constexpr const char* kDefaultMachineName = "default";
inline constexpr const char* kMachineFileSuffix = ".machine";

// The embedded default machine's description (no files may be named there).
DescriptionResult DefaultMachineDescription();

// A description file; files it names are looked for beside it. Errors start
// with the path.
DescriptionResult LoadMachineFile(const std::string& path);

// `nameOrPath` with a '/' or ending in ".machine" is a file path; anything
// else is a name in `catalogueDir` (NAME.machine). "default" falls back to
// the embedded machine when the catalogue has no such file.
DescriptionResult LoadMachineByName(const std::string& nameOrPath, const std::string& catalogueDir);

// A machine built from the embedded default description.
std::unique_ptr<SimMachine> MakeDefaultMachine();

}  // namespace vc::sim
