// Turning one frequency-select byte into SMBus traffic: fill the access
// block from the board and its chip, then pick the write variant for the
// controller kind and chip.
#pragma once

#include <cstdint>
#include <optional>

#include "core/board/system_info.h"
#include "core/hw/bus_path.h"
#include "core/hw/smbus_access.h"

namespace vc {

inline constexpr const char* kChipRtm560 = "RTM560-25";
inline constexpr const char* kChipIcs9248 = "ICS9248-153";

// What one write did.
struct WriteOutcome {
    int32_t answer = 0;    // the operation's own answer
    bool written = false;  // a write variant reached the chip and reported success
    BusFault fault = BusFault::None;

    bool Faulted() const { return fault != BusFault::None; }
};

// Rebuilds writer.access from *writer.board and its clock generator, then
// writes `count` bytes from `data` with SmbusBlockWrite. Always answers 1;
// without a board or a loaded clock generator nothing is written.
WriteOutcome ProgramClock(ClockWriter& writer, BusPath& bus, int32_t count, const uint8_t* data);

// Dispatches on controllerKind x operation x chipName ("RTM560-25" is
// compared before "ICS9248-153"); answers the chosen variant's result, or the
// fixed result of the rows that write nothing.
WriteOutcome SmbusBlockWrite(const SmbusAccess& access, BusPath& bus, int32_t count, const uint8_t* data);

// The variant SmbusBlockWrite runs for `access`; none where it writes nothing.
std::optional<SmbusVariant> WriteVariantFor(const SmbusAccess& access);

}  // namespace vc
