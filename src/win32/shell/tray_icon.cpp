#include "win32/shell/tray_icon.h"

#include <shellapi.h>

namespace vc::win32 {

namespace {

constexpr size_t kTipCharsV1 = 64;
static_assert(sizeof(NOTIFYICONDATAA::szTip) >= kTipCharsV1);

}  // namespace

bool AddTrayIcon(HWND owner, HINSTANCE instance, uint32_t iconId, UINT callbackMessage, const std::string& tip) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = iconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(iconId));
    // The version-1 structure's tip holds 64 characters, terminator included.
    const size_t length = tip.copy(data.szTip, kTipCharsV1 - 1);
    data.szTip[length] = '\0';
    return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void RemoveTrayIcon(HWND owner, uint32_t iconId) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = iconId;
    Shell_NotifyIconA(NIM_DELETE, &data);
}

}  // namespace vc::win32
