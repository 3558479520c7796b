// <windows.h> for the shell. Its A/W switch macros would rename the core's
// own members of the same names (TextPainter::DrawText,
// ProcessServices::SetCurrentDirectory) in some files and not in others, so
// they go: the shell calls the ANSI functions by their full names.
#pragma once

#include <windows.h>

#undef DrawText
#undef SetCurrentDirectory
