// Apart from the handler: it formats numbers with snprintf, which the NT
// driver (where the handler also runs) does not link.
#include <cstdio>

#include "core/hw/privileged_requests.h"

namespace vc::privileged {

void RefusalText(const Answer& answer, std::span<char> text) {
    if (text.empty()) return;
    const auto [a, b, c] = answer.figures;
    const auto put = [&](const char* format, auto... values) { std::snprintf(text.data(), text.size(), format, values...); };
    switch (answer.refusal) {
        case Refusal::None: text[0] = '\0'; break;
        case Refusal::UnknownCode: put("%s", "unknown request code"); break;
        case Refusal::ShortInput: put("short input: %u of %u bytes", a, b); break;
        case Refusal::ShortOutput: put("short output: %u of %u bytes", a, b); break;
        case Refusal::ShortBuffers: put("short buffer: input %u, output %u of %u bytes", a, b, c); break;
        case Refusal::NoTerminator: put("%s", "identification string without a terminator"); break;
        case Refusal::NotABlockWrite: put("operation %u is not a block write", a); break;
        case Refusal::CountOutOfRange: put("count %u is outside 1..32", a); break;
        case Refusal::DataUnreadable: put("%u data bytes for a count of %u", a, b); break;
        case Refusal::NotClockGenerator: put("address 0x%02X is not the clock generator's (0xD2)", a); break;
        case Refusal::MaskNotAByte: put("mask 0x%08X is not a byte", a); break;
        case Refusal::NoSuchController: put("ioBase 0x%04X is no SMBus controller PCI shows", a); break;
        case Refusal::KindMismatch: put("kind %u does not match the controller at 0x%04X (kind %u)", a, b, c); break;
        case Refusal::NeedsByteWise: put("%s", "the chip sequence needs a byte-by-byte controller (kind 2)"); break;
        case Refusal::ControllerDisabled: put("the controller at 0x%04X is disabled", a); break;
        case Refusal::PciRegister:
            put("PCI register 0x%02X of 0000:%02x:%02x.%x is none the program reads", c, a, b >> 8, b & 0xFF);
            break;
        case Refusal::ReportTooLong: put("the report takes %u bytes, %u offered", a, b); break;
    }
}

}  // namespace vc::privileged
