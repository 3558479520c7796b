#include "sim/machine_catalogue.h"

#include "core/base/file_io.h"
#include "sim/file_bytes.h"

namespace vc::sim {
namespace {

constexpr size_t kMaxDescriptionBytes = 1 << 20;

bool EndsWith(const std::string& s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

DescriptionResult DefaultMachineDescription() {
    auto result = LoadMachineDescription(std::string(kEmbeddedDefaultMachine), "");
    if (!result.ok()) result.error = "embedded default machine: " + result.error;
    return result;
}

DescriptionResult LoadMachineFile(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, kMaxDescriptionBytes, text)) {
        return {std::nullopt, path + ": cannot read the machine description (missing or over 1 MiB)"};
    }
    auto result = LoadMachineDescription(text, DirectoryOf(path));
    if (!result.ok()) result.error = path + ": " + result.error;
    return result;
}

DescriptionResult LoadMachineByName(const std::string& nameOrPath, const std::string& catalogueDir) {
    if (nameOrPath.find('/') != std::string::npos || EndsWith(nameOrPath, kMachineFileSuffix)) {
        return LoadMachineFile(nameOrPath);
    }
    if (nameOrPath.empty()) return {std::nullopt, "no machine name given"};
    const std::string path = (catalogueDir.empty() ? "." : catalogueDir) + "/" + nameOrPath + kMachineFileSuffix;
    if (nameOrPath == kDefaultMachineName && !IsRegularFile(path)) return DefaultMachineDescription();
    if (!IsRegularFile(path)) return {std::nullopt, "no machine named '" + nameOrPath + "' in " + catalogueDir};
    return LoadMachineFile(path);
}

std::unique_ptr<SimMachine> MakeDefaultMachine() {
    auto result = DefaultMachineDescription();
    // The embedded text is checked by the tests; an empty machine still
    // stands in should it ever be broken.
    return std::make_unique<SimMachine>(result.ok() ? *result.description : MachineDescription{});
}

}  // namespace vc::sim
