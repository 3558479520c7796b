// Requests as a client puts them on the wire, for the helper's tests.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "core/base/little_endian.h"
#include "core/hw/driver_wire.h"
#include "core/hw/hw_driver.h"

namespace vc::helper::test {

// The seven fields of the 28-byte SMBus write request; defaults name the
// PIIX4 controller of FakeHardware and one byte for the clock generator.
struct SmbusFields {
    uint32_t ioBase = 0x0700;
    uint32_t count = 1;
    uint32_t dataAddress = 0;
    uint32_t operation = 2;
    uint32_t kind = 1;
    uint32_t writeAddress = 0xD2;
    uint32_t mask = 0;
};

inline std::vector<uint8_t> SmbusInput(const SmbusFields& f) {
    const uint32_t fields[] = {f.ioBase, f.count, f.dataAddress, f.operation, f.kind, f.writeAddress, f.mask};
    std::vector<uint8_t> bytes(sizeof fields);
    for (size_t i = 0; i < 7; ++i) PutLe32(bytes, 4 * i, fields[i]);
    return bytes;
}

inline WireRequest SmbusWrite(uint32_t code, const SmbusFields& f, std::vector<uint8_t> data) {
    return {code, SmbusInput(f), 28, std::move(data)};
}

inline WireRequest PciRead(uint32_t address, uint32_t outputLength = 4) {
    std::vector<uint8_t> input(4);
    PutLe32(input, 0, address);
    return {kReqNtPciRead, input, outputLength, {}};
}

inline WireRequest BiosFind(const std::string& text) {
    std::vector<uint8_t> field(16, 0);
    std::copy(text.begin(), text.end(), field.begin());
    return {kReqNtBiosFind, field, 0, {}};
}

}  // namespace vc::helper::test
