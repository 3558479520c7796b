// A transfer on a controller's own ports, for whoever drives them for others
// (the Linux helper when no kernel driver owns the controller, the NT
// driver): the one sequence library with the status check after every
// start, wrapped so the controller is idle before the transfer begins and is
// left idle afterwards. The caller holds its one transfer lock around each.
// On the byte-by-byte (ICH) controller the transfer also holds the host
// semaphore: a claim that reads it set waits for it as for BUSY, and the
// release hands it back. Only the completion and error bits are cleared
// (StatusFlagsOf), never the semaphore mid-transfer or a reserved bit.
// No allocation, no exceptions.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/hw/smbus_ports.h"
#include "core/hw/smbus_sequences.h"

namespace vc {

// Auxiliary control of the byte-by-byte controller: bit 0 appends a packet
// error code, bit 1 switches to the 32-byte buffer. Either would change what
// the byte-by-byte sequences put on the wire, so both are off for the
// transfer and restored afterwards.
inline constexpr uint16_t kAuxControl = 0x0D;
inline constexpr uint8_t kAuxControlOurs = 0x03;
// Host control bit 1 stops a transfer that does not end by itself.
inline constexpr uint8_t kControlKill = 0x02;
// The pauses the controller gets to go idle, before and after.
inline constexpr int kIdlePolls = 25;

enum class PortTransfer : uint8_t {
    Done,
    Busy,     // somebody else's transfer did not end: nothing was written
    Failed,   // the controller reported an error, or the chip's read-back was short
    Stopped,  // the transfer did not end and was stopped
};

// The status bits a transfer on a controller of `kind` clears: completion
// and errors (and BYTE_DONE on the byte-by-byte controller); the ICH
// semaphore, the alert bit and the PIIX4's reserved bits are never written 1.
uint8_t StatusFlagsOf(int32_t kind);

// What went wrong, for a log line ("the controller stays busy").
const char* PortTransferText(PortTransfer result);

PortTransfer RunPortWrite(SmbusPorts& ports, int32_t kind, SmbusVariant variant, const SmbusTarget& target,
                          std::span<const uint8_t> data);

// A receive-byte read at `address7` (nothing is written to the device):
// whether it acknowledged; nothing when the controller was busy or did not
// report a clear outcome.
std::optional<bool> PortDeviceAnswers(SmbusPorts& ports, int32_t kind, uint16_t ioBase, uint8_t address7);

// A block read (command 0x00) at `address7` into `block`, as the controller
// family does it: the block-buffer controller fills its buffer and the
// bytes are read from it; the byte-by-byte controller hands one byte per
// BYTE_DONE and must see LAST_BYTE before the last one, or it keeps the bus.
// The count the device reported, -1 when the read failed (the controller is
// left idle either way).
int32_t PortBlockRead(SmbusPorts& ports, int32_t kind, uint16_t ioBase, uint8_t address7, std::span<uint8_t> block);

}  // namespace vc
