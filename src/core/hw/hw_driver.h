// The hardware access drivers: which driver the system kind calls for, how
// it is named, and the request codes the program sends.
#pragma once

#include <cstdint>

#include "core/base/platform.h"

namespace vc {

inline constexpr const char* kWin9xDriverName = "\\\\.\\Map9X.vxd";
inline constexpr const char* kNtDriverName = "\\\\.\\GpdDev";

// Windows 9x virtual-device requests.
inline constexpr uint32_t kReq9xBiosWindow = 2;
inline constexpr uint32_t kReq9xIntelRatio = 8;
inline constexpr uint32_t kReq9xAmdRatio = 9;
inline constexpr uint32_t kReq9xOtherRatio = 0;

// NT port-driver requests: device type 0x9C40, any access, buffered,
// function 0x914 and up.
inline constexpr uint32_t kReqNtSmbusBlockWrite = 0x9C402450;
inline constexpr uint32_t kReqNtPciRead = 0x9C402454;
inline constexpr uint32_t kReqNtBiosFind = 0x9C402458;
inline constexpr uint32_t kReqNtIntelRatio = 0x9C40245C;
inline constexpr uint32_t kReqNtAmdRatio = 0x9C402460;
inline constexpr uint32_t kReqNtRtm560 = 0x9C40248C;
inline constexpr uint32_t kReqNtIcs9248 = 0x9C402490;

// osKind (see OsKind) from the reported OS version.
int32_t OsKindFromVersion(const OsVersion& version);

// Sends one request without input that answers with a 32-bit word. `word`
// takes whatever the output buffer holds afterwards; the result decides.
bool RequestWord(Platform& platform, DeviceHandle handle, uint32_t code, uint32_t& word);

}  // namespace vc
