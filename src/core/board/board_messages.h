// The texts the board recognition shows (caption "Error").
#pragma once

namespace vc {

inline constexpr const char* kMsgBoardFileMissing = "MBInfo.dat not found";
inline constexpr const char* kMsgBoardFileVersion = "MBInfo version is not correct";
inline constexpr const char* kMsgClockGenFileMissing = "CGInfo.dat not found";
inline constexpr const char* kMsgClockGenFileVersion = "CGInfo version is not correct";
inline constexpr const char* kMsgClockGenNotFound = "Can't found this clock gen";
inline constexpr const char* kMsgUnknownCpu = "Unknow CPU";
// A damaged file: the prefix, then what the reader found wrong
// ("MBInfo.dat is damaged: board record 3 is incomplete").
inline constexpr const char* kMsgDamagedSuffix = " is damaged: ";
// A damaged record the readers stepped over because it provably is not the
// one sought; a warning, never a message box
// ("MBInfo.dat has a damaged record, skipped: board record 2: clockGenName has no terminator").
inline constexpr const char* kMsgSkippedSuffix = " has a damaged record, skipped: ";

}  // namespace vc
