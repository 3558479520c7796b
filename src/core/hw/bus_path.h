// The way the program reaches the board's hardware, chosen once at
// detection from the operating system's kind:
// - direct ports (Windows 9x): its own port I/O for PCI and SMBus, the
//   virtual device for the BIOS window and the configuration word;
// - driver requests (NT family): every access is a request to the port
//   driver, opened once for the rest of the run;
// - none (any other system): nothing is read or written.
//
// Operations answer values. A failure after which the program cannot go on
// (a driver that does not open, a request the driver refuses) comes back as
// a BusFault; showing its message and ending the process is the caller's.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/base/machine.h"
#include "core/base/text_field.h"
#include "core/hw/smbus_access.h"
#include "core/hw/smbus_sequences.h"

namespace vc {

enum class BusFault {
    None,
    DriverOpen,    // the NT port driver could not be opened
    PciRequest,    // the driver refused a PCI configuration read
    SmbusRequest,  // the driver refused an SMBus write request
};

struct BusResult {
    int32_t value = 1;  // the operation's own answer: 1 done, 0 not
    BusFault fault = BusFault::None;

    bool Faulted() const { return fault != BusFault::None; }
};

class BusPath {
public:
    virtual ~BusPath() = default;

    // The driver half of the BIOS scan: on 9x fetch the BIOS window address
    // (answer 0 when the virtual device does not open), on the NT family open
    // the port driver for the rest of the run.
    virtual BusResult OpenForBios() = 0;
    // Whether the BIOS holds `biosId` between offsets 0xE000 and 0xFFFE.
    virtual bool BiosHolds(const TextField& biosId) = 0;
    // The processor's configuration word for the vendor's request. On a
    // refused request the answer is 0; whether `word` changed depends on the
    // path (9x keeps what the driver left, NT keeps the old word).
    virtual BusResult ReadConfigWord(int32_t vendorCode, uint32_t& word) = 0;
    // One PCI configuration dword at a mechanism #1 address.
    virtual BusResult ReadPciConfig(uint32_t address, uint32_t& value) = 0;
    // One SMBus write variant. The answer is the variant's own.
    virtual BusResult WriteSmbus(SmbusVariant variant, const SmbusAccess& access,
                                 std::span<const uint8_t> data) = 0;
    // Whether a write can reach a chip at all (false on the "none" path,
    // which answers 1 and writes nothing).
    virtual bool ReachesHardware() const = 0;
    // The clock generator's block as a block read on this path returns it
    // (the bytes the chip reported), to see what a write left there. None
    // when nobody answered or the path offers no read.
    virtual std::optional<std::vector<uint8_t>> ReadClockGenBlock(const SmbusAccess&) { return std::nullopt; }

    // What the driver handed out, for reports.
    virtual uint32_t BiosWindow() const { return 0; }
    virtual DeviceHandle DriverHandle() const { return kNoDevice; }
};

// The path for the OS kind (see OsKind); `machine` must outlive it.
std::shared_ptr<BusPath> ChooseBusPath(int32_t osKind, Machine machine);

// The path used before detection has chosen one: reads and writes nothing.
BusPath& NoBusPath();

}  // namespace vc
