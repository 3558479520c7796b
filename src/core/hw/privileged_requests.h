// The one handler of the port driver's requests for every privileged
// component: the Linux helper and the NT kernel driver run it over their own
// Hardware, the tests over a simulated machine. It decides what may be done
// and nothing else decides it:
//   0x9C402458 BIOS search: 16 bytes in, the string terminated inside them;
//   0x9C40245C, 0x9C402460 configuration word: 4 bytes out;
//   0x9C402454 PCI read: 4 in, 4 out; past the 64-byte header only the host
//              bridge's 0x50 and each SMBus function's base and host enable;
//   0x9C402450, 0x9C40248C, 0x9C402490 SMBus writes: 28 bytes in; operation
//              2, count 1..32, address 0xD2 only, a mask of one byte, ioBase
//              the base of an SMBus controller of the request's kind that
//              PCI shows and that is enabled (or owned by the system's
//              driver); the chip sequences only on a byte-by-byte
//              controller; the data bytes fetched before any hardware access;
//   0x9C4024F0 probe: the read-only report (format in hw_driver.h).
// No allocation, no exceptions. Input is read whole before any output is
// written, so the two may share one buffer (the NT driver's).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/hw/privileged_hardware.h"

namespace vc::privileged {

enum class Outcome : uint8_t {
    Done,     // served; `outputLength` bytes of output
    Failed,   // allowed, but the hardware said no (or the string is not there)
    Refused,  // out of policy: nothing was touched
};

enum class Refusal : uint8_t {
    None,
    UnknownCode,
    ShortInput,         // figures: have, need
    ShortOutput,        // have, need
    ShortBuffers,       // input, output, need (PCI read)
    NoTerminator,
    NotABlockWrite,     // operation
    CountOutOfRange,    // count
    DataUnreadable,     // bytes had, count
    NotClockGenerator,  // address
    MaskNotAByte,       // mask
    NoSuchController,   // ioBase
    KindMismatch,       // kind asked, ioBase, kind there
    NeedsByteWise,      // the chip sequences
    ControllerDisabled, // ioBase
    PciRegister,        // bus, device << 8 | function, register
    ReportTooLong,      // length, offered
};

struct Answer {
    Outcome outcome = Outcome::Failed;
    Refusal refusal = Refusal::None;
    uint32_t figures[3] = {0, 0, 0};  // what the refusal names, in the order above
    size_t outputLength = 0;
    // An SMBus write that reached the hardware: where, and what.
    bool wrote = false;
    Controller controller;
    SmbusVariant variant = SmbusVariant::BlockBuffered;
    uint8_t mask = 0;
    uint8_t data[32] = {};
    size_t dataLength = 0;
};

struct Request {
    uint32_t code = 0;
    std::span<const uint8_t> input;
    size_t outputOffered = 0;  // what the caller's output buffer holds
    CallerMemory* callerMemory = nullptr;  // for the SMBus writes' data bytes
};

class RequestHandler {
public:
    // `clockGenAddress7` is where writes for 0xD2 really go (a test device
    // instead of the clock generator when the administrator says so).
    explicit RequestHandler(Hardware& hardware, uint8_t clockGenAddress7 = kClockGenAddress7);

    // Serves `request`; the answer's bytes go to `output` (its size at least
    // request.outputOffered), never more than offered.
    Answer Handle(const Request& request, std::span<uint8_t> output);

private:
    Answer BiosFind(const Request& request);
    Answer ConfigWord(const Request& request, std::span<uint8_t> output);
    Answer PciRead(const Request& request, std::span<uint8_t> output);
    Answer SmbusWrite(const Request& request);
    Answer Probe(const Request& request, std::span<uint8_t> output);
    bool PciRegisterAllowed(uint8_t bus, uint8_t device, uint8_t function, uint8_t reg);

    Hardware& hardware_;
    uint8_t clockGenAddress7_;
};

// The refusal as one line of text ("count 33 is outside 1..32") into
// `text`, terminated; for the helper's log (it formats numbers, so it is
// kept out of the kernel driver).
void RefusalText(const Answer& answer, std::span<char> text);

}  // namespace vc::privileged
