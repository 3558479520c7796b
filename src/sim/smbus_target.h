// A device on the SMBus as the host controller reaches it. Writes arrive a
// byte at a time, as the controller puts them on the wire.
#pragma once

#include <cstdint>
#include <vector>

namespace vc::sim {

class SmbusTarget {
public:
    virtual ~SmbusTarget() = default;

    // A block write: the command and byte count, then each data byte, then
    // the end (complete false when the host stopped before `count` bytes).
    virtual void BeginBlockWrite(uint8_t command, uint8_t count) = 0;
    virtual void BlockWriteByte(uint8_t value) = 0;
    virtual void EndBlockWrite(bool complete) = 0;
    virtual void WordWrite(uint8_t command, uint8_t low, uint8_t high) = 0;
    // The bytes the device sends for a block read (their number is the
    // count it reports).
    virtual std::vector<uint8_t> BlockRead(uint8_t command) = 0;
};

}  // namespace vc::sim
