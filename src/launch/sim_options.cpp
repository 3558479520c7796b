#include "launch/sim_options.h"

namespace vc::launch {

std::optional<std::string> ParseSimOptions(const std::vector<std::string>& args, SimOptions& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--quit-after-first-frame") {
            options.quitAfterFirstFrame = true;
        } else if (arg == "--machine") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return "--machine needs a NAME or FILE";
            options.machine = args[++i];
        } else if (arg == "--trace") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return "--trace needs a FILE";
            options.traceFile = args[++i];
        } else if (arg.starts_with("--machine=")) {
            options.machine = arg.substr(10);
            if (options.machine.empty()) return "--machine needs a NAME or FILE";
        } else {
            return "unknown argument '" + arg + "'";
        }
    }
    return std::nullopt;
}

}  // namespace vc::launch
