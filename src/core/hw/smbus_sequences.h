// The register sequences that put a frequency-select byte on the wire, once
// for everybody who drives an SMBus host controller: the program on its own
// ports, the driver on the program's behalf.
//
// Four variants: a block write through the block buffer (controller kind 1),
// a byte-by-byte block write (kind 2), and the two kind-2 chips that need
// their whole register block read back and written again around the select
// ("ICS9248-153": the select goes into byte 6 and is sent once more;
// "RTM560-25": byte 16 is forced to 0x4B and two word writes follow).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/hw/smbus_ports.h"

namespace vc {

enum class SmbusVariant { BlockBuffered, BlockByteWise, Ics9248, Rtm560 };

struct SmbusTarget {
    uint16_t ioBase = 0;
    uint8_t writeAddress = 0;
    uint8_t readAddress = 0;
    uint8_t firstByteMask = 0;  // ORed into the first data byte
    // What the sequence writes to the status register to clear it (and, on
    // the byte-by-byte controller, to release the next block byte): every
    // bit for the program on its own ports; the privileged components leave
    // the semaphore and reserved bits alone (smbus_port_transfer.h).
    uint8_t statusClear = 0xFF;
};

// How much the runner checks along the way. The program trusts every start;
// the driver reads the status after each start and stops sending block
// bytes once an error bit shows.
enum class StartChecks { None, StatusAfterStart };

// Runs one write of `data` (1..32 bytes; anything else makes no traffic and
// fails). True when the controller reported the transfer done (kind 1) or
// nothing went wrong that the runner checks (kind 2). A chip whose read-back
// does not answer, or answers with fewer bytes than its block holds, gets no
// write at all: writing back a partial block would put stale bytes into it.
bool RunSmbusWrite(SmbusPorts& ports, SmbusVariant variant, const SmbusTarget& target,
                   std::span<const uint8_t> data, StartChecks checks);

// Where a variant that reads the block back finds the select it wrote in
// that block; none for the variants that write blind.
std::optional<size_t> ReadBackSelectIndex(SmbusVariant variant);

// The read-back alone on the byte-by-byte controller (kind 2): the chip's
// block into `block` (at most its size). Answers the count the chip
// reported (0 and up), or -1 when nobody answered.
int32_t ReadSmbusBlock(SmbusPorts& ports, const SmbusTarget& target, std::span<uint8_t> block);

// The same read on the block-buffer controller (kind 1): command 0x00, one
// start, and once the controller reports done the count in DAT0 and the
// bytes from its buffer (at most 32).
int32_t ReadSmbusBlockBuffered(SmbusPorts& ports, const SmbusTarget& target, std::span<uint8_t> block);

// The read for a controller kind (1 or 2); -1 for any other kind.
int32_t ReadSmbusBlockOfKind(SmbusPorts& ports, int32_t kind, const SmbusTarget& target,
                             std::span<uint8_t> block);

}  // namespace vc
