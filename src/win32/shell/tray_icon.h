// The icon in the taskbar notification area. Requests use the version-1
// structure size, the only one the Windows 95, 98 and NT 4 shells accept.
#pragma once

#include "win32/shell/windows_api.h"

#include <cstdint>
#include <string>

namespace vc::win32 {

// Adds icon `iconId` (also the icon resource shown) of `owner`, which
// receives `callbackMessage` with the id and the mouse message. The tip
// is cut to 63 characters.
bool AddTrayIcon(HWND owner, HINSTANCE instance, uint32_t iconId, UINT callbackMessage, const std::string& tip);
void RemoveTrayIcon(HWND owner, uint32_t iconId);

}  // namespace vc::win32
