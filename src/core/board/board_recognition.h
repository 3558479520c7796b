// The data-file half of ScanBiosInfo: find the board whose BIOS string this
// machine's BIOS holds, then load its clock generator and table.
//
// Both operations change SystemInfo only when they succeed: on any failure
// info.board (and its clockGen) is exactly as before, so nothing is ever
// half-loaded.
#pragma once

#include <cstdint>
#include <string>

#include "core/base/context.h"
#include "core/board/system_info.h"

namespace vc {

// Path of a data file: the bare name when ctx.dataDirectory is empty.
std::string DataFilePath(const Context& ctx, const char* fileName);

// Walks MBInfo.dat; the first record whose biosId BiosIdFound answers yes for
// becomes info.board, with its clock generator loaded by LoadClockGen.
// Returns 1, or 0 after its message ("MBInfo.dat not found", "MBInfo version
// is not correct", a damaged file), or silently when no record matched.
int32_t FindBoard(SystemInfo& info, Context& ctx);

// Loads the clock generator info.board names from CGInfo.dat into
// info.board.clockGen. Returns 1, or 0 after its message.
int32_t LoadClockGen(SystemInfo& info, Context& ctx);

}  // namespace vc
