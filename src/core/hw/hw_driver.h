// The hardware access driver layer: which driver the system kind calls for,
// how it is opened, and the request codes the program sends.
#pragma once

#include <cstdint>

#include "core/app/context.h"
#include "core/app/system_info.h"

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

// osKind from the reported OS version.
int32_t OsKindFromVersion(const OsVersion& version);

// The driver half of ScanBiosInfo: on 9x fetch the BIOS window address, on
// the NT family open the port driver for the rest of the run (ending the
// process with exit code 1 when it cannot be opened). Returns 1 or 0.
int32_t OpenDriverForBios(SystemInfo& info, Context& ctx);

// Reads the processor configuration word into info.addressInfo. 1 or 0.
int32_t ScanAddressInfo(SystemInfo& info, Context& ctx);

}  // namespace vc
