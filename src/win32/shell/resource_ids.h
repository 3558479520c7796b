// Resource ids of the Windows programs beyond the generated dialog
// templates (panels.rc). The icon's id is the tray icon's (checked where
// the icon is loaded).
#pragma once

#define VC_ICON_PROGRAM 101
