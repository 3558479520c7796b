// The bus work of the simulated NT port driver: it receives one SMBus write
// request, checks it as a driver must (nothing from the caller is trusted),
// and drives the host controller's registers itself with the program's own
// SMBus sequences at the ioBase the request names. Ports where nothing
// answers read 0xFF, which the driver takes as an error.
//
// Where the driver is stricter than the program on its own ports: it reads
// the status register right after every start and stops when an error bit
// (0x1C) is set.
#pragma once

#include <cstdint>
#include <span>

#include "core/hw/smbus_ports.h"

namespace vc::sim {

enum class DriverSequence { BlockWrite, Ics9248, Rtm560 };

// The sequence a request code asks for (an unknown code: a plain block write).
DriverSequence SequenceForRequest(uint32_t code);

// Runs one request: `input` is its 28-byte layout, `data` the bytes its
// data address refers to. True when the request was sound and the bus work
// succeeded.
bool ServeSmbusRequest(SmbusPorts& ports, DriverSequence sequence, std::span<const uint8_t> input,
                       std::span<const uint8_t> data);

}  // namespace vc::sim
