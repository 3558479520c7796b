// win_resources write|check SHELL_DIR RESOURCES_DIR: the generated parts of
// the Windows programs' resources. `write` makes SHELL_DIR/panels.rc (the
// dialog templates, from the core's tables) and SHELL_DIR/velocore.ico
// (icon 101, from RESOURCES_DIR/101_16.bmp and 101_32.bmp); `check` fails
// when either committed file differs from what `write` would make.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/ui/bmp_codec.h"
#include "dialog_script.h"
#include "ico_writer.h"

namespace {

struct Output {
    std::string name;
    std::vector<uint8_t> bytes;
};

bool MakeOutputs(const std::string& resources, std::vector<Output>& outputs) {
    const std::string script = vc::tools::PanelDialogScript();
    outputs.push_back({"panels.rc", std::vector<uint8_t>(script.begin(), script.end())});
    std::vector<vc::ui::Surface> pictures;
    for (const char* stem : {"101_16", "101_32"}) {
        vc::ui::Surface picture;
        std::string error;
        if (!vc::ui::ReadBmpFile(resources + "/" + stem + ".bmp", picture, error)) {
            std::fprintf(stderr, "win_resources: %s\n", error.c_str());
            return false;
        }
        pictures.push_back(std::move(picture));
    }
    std::string error;
    auto icon = vc::tools::EncodeIco(pictures, error);
    if (icon.empty()) {
        std::fprintf(stderr, "win_resources: %s\n", error.c_str());
        return false;
    }
    outputs.push_back({"velocore.ico", std::move(icon)});
    return true;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 4 ? argv[1] : "";
    if (mode != "write" && mode != "check") {
        std::fprintf(stderr, "usage: win_resources write|check SHELL_DIR RESOURCES_DIR\n");
        return 2;
    }
    std::vector<Output> outputs;
    if (!MakeOutputs(argv[3], outputs)) return 1;
    int stale = 0;
    for (const Output& output : outputs) {
        const std::string path = std::string(argv[2]) + "/" + output.name;
        if (mode == "check") {
            if (ReadAll(path) == output.bytes) continue;
            std::fprintf(stderr, "win_resources: %s is stale; run win_resources write\n", path.c_str());
            ++stale;
            continue;
        }
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(output.bytes.data()), static_cast<std::streamsize>(output.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "win_resources: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return stale == 0 ? 0 : 1;
}
