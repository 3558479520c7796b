// The panels' dialog templates as resource-script text for the Windows
// programs, written from the core's own template tables so that the two
// never disagree: ids, dialog-unit rectangles, texts, alignment, tab stops.
#pragma once

#include <string>

namespace vc::tools {

// Every template the main window creates, in creation order.
std::string PanelDialogScript();

}  // namespace vc::tools
