// The bus work of the simulated NT port driver: it receives one SMBus write
// request and drives the host controller's registers itself, with the same
// register sequences a program runs by direct port I/O on 9x, at the ioBase
// the request names. Ports where nothing answers read 0xFF, which the
// driver takes as an error.
//
// Where the driver is stricter than the program's own sequences:
// - it reads the status register right after every start and fails the
//   request when an error bit (0x1C) is set;
// - a chip sequence whose read-back does not answer, or answers with fewer
//   bytes than the chip's block holds, fails without writing anything, so
//   no stale bytes reach the chip's registers.
#pragma once

#include <cstdint>
#include <span>

namespace vc::sim {

// The 28-byte request, seven little-endian 32-bit fields.
struct SmbusWriteRequest {
    uint32_t ioBase = 0;
    uint32_t count = 0;
    uint32_t dataAddress = 0;  // unused: the bytes arrive beside the request
    uint32_t operation = 0;
    uint32_t controllerKind = 0;
    uint32_t writeAddress = 0;
    uint32_t firstByteMask = 0;
};
inline constexpr size_t kSmbusWriteRequestSize = 28;

// Field by field; false when the buffer is shorter than 28 bytes.
bool ParseSmbusWriteRequest(std::span<const uint8_t> input, SmbusWriteRequest& request);

// The port primitives the driver works with, and its 4 ms wait.
class DriverPorts {
public:
    virtual ~DriverPorts() = default;
    virtual uint8_t In(uint16_t port) = 0;
    virtual void Out(uint16_t port, uint8_t value) = 0;
    virtual void Wait() = 0;
};

enum class DriverSequence { BlockWrite, Ics9248, Rtm560 };

// Runs one request; true when the bus work succeeded. The caller has
// checked that `data` holds at least request.count bytes.
bool RunSmbusRequest(DriverPorts& ports, DriverSequence sequence, const SmbusWriteRequest& request,
                     std::span<const uint8_t> data);

}  // namespace vc::sim
