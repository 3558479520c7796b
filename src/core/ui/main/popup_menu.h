// The tray icon's popup menu ("RightMenu") as data: its items top to bottom
// with the state each starts in, matching the window's start (Easy layout,
// visible). Every window system builds its menu from this table.
#pragma once

#include <array>
#include <cstdint>

#include "core/ui/main/main_window_shell.h"

namespace vc::ui {

inline constexpr const char* kPopupMenuTitle = "RightMenu";

struct PopupMenuItem {
    int32_t id;        // the command it sends; 0: the separator
    const char* text;  // null for the separator
    bool enabled;      // false: grayed
};

inline constexpr std::array<PopupMenuItem, 6> kPopupMenuItems{{
    {kMenuEasyMode, "Easy Mode", false},
    {kMenuAdvanceMode, "Advance Mode", true},
    {0, nullptr, false},
    {kMenuShow, "Show", false},
    {kMenuHide, "Hide", true},
    {kMenuExit, "Exit", true},
}};

}  // namespace vc::ui
