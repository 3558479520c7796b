#include "core/board/bios_id.h"

namespace vc {

bool BiosIdFound(const SystemInfo& info, const char (&biosId)[16]) { return info.Bus().BiosHolds(biosId); }

}  // namespace vc
