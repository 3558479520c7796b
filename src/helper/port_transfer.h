// A write on a controller's own ports, when no kernel driver owns it: the
// one sequence library (core/hw/smbus_sequences.h) with the status check
// after every start, wrapped so the controller is idle before the transfer
// begins and is left idle afterwards. Nothing here touches the block-data
// register; only the sequences do, inside their transfer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/hw/smbus_ports.h"
#include "core/hw/smbus_sequences.h"

namespace vc::helper {

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

bool RunPortWrite(SmbusPorts& ports, int32_t kind, SmbusVariant variant, const SmbusTarget& target,
                  std::span<const uint8_t> data, std::string& why);

// A receive-byte read at `address7` (nothing is written to the device):
// whether it acknowledged; nothing when the controller was busy or did not
// report a clear outcome.
std::optional<bool> PortDeviceAnswers(SmbusPorts& ports, uint16_t ioBase, uint8_t address7);

// A block read (command 0x00) at `address7` into `block`, as the controller
// family does it: the block-buffer controller fills its buffer and the
// bytes are read from it; the byte-by-byte controller hands one byte per
// BYTE_DONE and must see LAST_BYTE before the last one, or it keeps the bus.
// The count the device reported, -1 when the read failed (the controller is
// left idle either way).
int32_t PortBlockRead(SmbusPorts& ports, int32_t kind, uint16_t ioBase, uint8_t address7, std::span<uint8_t> block);

}  // namespace vc::helper
