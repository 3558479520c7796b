// The clock-generator writes through a kernel SMBus adapter, when a kernel
// driver owns the controller and its registers are not ours to touch. The
// same transfers the port sequences (core/hw/smbus_sequences.h) put on the
// wire, in SMBus protocol terms:
// - a block write: command 0, the bytes, the mask ORed into the first;
// - ICS9248-153: block read of its 7-byte block, the select (masked) into
//   byte 6, the block written back, and written once more because the chip
//   takes the select only when it comes again. On ports the second transfer
//   is cut short after the select; an adapter sends whole transfers only,
//   so the whole block goes again, with the same bytes;
// - RTM560-25: block read of its 17-byte block, byte 16 set to 0x4B, the
//   block written back unmasked, word writes 0x1F <- 00 02 and 0x10 <- 00 49
//   (low byte first), then the select block.
// A chip whose read-back answers with fewer bytes than its block gets no
// write at all, as on ports.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/hw/smbus_sequences.h"

namespace vc::helper {

// One adapter, already pointed at the device's address.
class I2cAdapter {
public:
    virtual ~I2cAdapter() = default;
    // SMBus block read: the bytes the device reported; nothing on an error.
    virtual std::optional<std::vector<uint8_t>> ReadBlock(uint8_t command) = 0;
    virtual bool WriteBlock(uint8_t command, std::span<const uint8_t> bytes) = 0;
    // SMBus write word: `word`'s low byte goes first.
    virtual bool WriteWord(uint8_t command, uint16_t word) = 0;
};

// `data` is 1..32 bytes. `why` says which step failed.
bool RunAdapterWrite(I2cAdapter& adapter, SmbusVariant variant, uint8_t firstByteMask, std::span<const uint8_t> data,
                     std::string& why);

}  // namespace vc::helper
