#include "cli/render_command.h"

#include "cli/session.h"
#include "core/ui/bmp_codec.h"
#include "core/ui/main/offscreen_render.h"
#include "core/ui/picture_store.h"

namespace vc::cli {

int RenderCommand(Session& session, const std::vector<std::string>& command) {
    // command: "render", layout, file
    const std::string& layoutName = command.at(1);
    const std::string& file = command.at(2);
    ui::RenderOptions options;
    if (layoutName == "easy") {
        options.layout = ui::Layout::Easy;
    } else if (layoutName == "advance") {
        options.layout = ui::Layout::Advance;
    } else {
        session.err << "render: the layout is easy or advance, not " << layoutName << '\n';
        return kExitUsage;
    }
    options.autoOptimized = session.autoOptimized != 0;

    ui::PictureStore pictures(session.resourceDir);
    const ui::Surface picture = ui::RenderMainWindow(pictures, session.info, options);
    for (const auto& problem : pictures.Problems()) session.err << "render: " << problem.message << '\n';
    if (!pictures.Problems().empty()) return kExitFailed;

    std::string error;
    if (!ui::WriteBmpFile(file, picture, error)) {
        session.err << "render: " << error << '\n';
        return kExitFailed;
    }
    session.out << "rendered: " << file << " (" << layoutName << ", " << picture.Width() << " x "
                << picture.Height() << ")\n";
    return kExitOk;
}

}  // namespace vc::cli
