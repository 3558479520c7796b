// "vcctl render easy|advance FILE.bmp": the main window as a picture.
#pragma once

#include <string>
#include <vector>

namespace vc::cli {

struct Session;

int RenderCommand(Session& session, const std::vector<std::string>& command);

}  // namespace vc::cli
