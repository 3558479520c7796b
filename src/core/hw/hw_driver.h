// The hardware access drivers: which driver the system kind calls for, how
// it is named, and the request codes the program sends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/base/platform.h"

namespace vc {

inline constexpr const char* kWin9xDriverName = "\\\\.\\MAP9X.VXD";  // the descriptor's name: the unload at close matches it
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

// The Linux helper's one request beyond that set: a read-only report of
// what it sees (`vcctl probe`, `vcctl board-id`). Its output is text, one
// finding a line:
//   controller kind=1 base=0x0700 pci=0000:00:01.3 driver=piix4_smbus adapter=/dev/i2c-0
//   controller kind=2 base=0x0600 pci=0000:00:1f.3 driver=none adapter=none
//   clockgen controller=0x0700 address=0x69 answers=yes readback=00,ff,ff,ff,6d,bf
//   bios offset=0xF080 dmi=board text="CUBX"
//   hostbridge id=0x71908086
// (`driver` is the kernel driver bound to the controller, `adapter` its
// i2c-dev node; the clockgen line is the address the helper writes to, and
// `readback` the bytes a block read (0xD3, command 0x00) returned there, or
// `none` when it failed; a bios line is one candidate identification string
// of the search area, best first, at most 8, `dmi` board, product or no as
// bios_strings.h finds them; hostbridge is PCI 00:00.0 register 0). Keys
// and line kinds may be added; a reader skips what it does not know, and
// an older report may lack readback, bios and hostbridge.
// Its input, when there is one, is a 32-bit flags word: kProbeReadChip asks
// for the block read behind `readback` (without it the line says
// `readback=skipped`, and nothing but the acknowledge test reaches the
// chip). Some clock generators do not support a block read and leave the
// controller hung when asked (ICS9250-29 datasheet: "Read-Back will lock up
// the PIIX-4"), so the read is made only on request.
inline constexpr uint32_t kReqProbe = 0x9C4024F0;
inline constexpr uint32_t kProbeReadChip = 0x1;
inline constexpr size_t kProbeReportMax = 1024;

// osKind (see OsKind) from the reported OS version.
int32_t OsKindFromVersion(const OsVersion& version);

// The probe report, as text; false when the driver does not serve it.
// `readChip` asks for the clock generator's block read.
bool RequestProbe(Platform& platform, DeviceHandle handle, std::string& report, bool readChip = false);

// Sends one request without input that answers with a 32-bit word. `word`
// takes whatever the output buffer holds afterwards; the result decides.
bool RequestWord(Platform& platform, DeviceHandle handle, uint32_t code, uint32_t& word);

}  // namespace vc
