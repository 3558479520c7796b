// Direct register access to the board's SMBus host controller (9x
// personality): byte-wide ports at the controller's base, and the fixed
// 4 ms pause the write sequences put between their steps.
#pragma once

#include <cstdint>

#include "core/hw/machine.h"

namespace vc {

// Register offsets from the controller's base port.
enum class SmbusRegister : uint16_t {
    HostStatus = 0,    // write 0xFF: clear status, release the next block byte
    HostControl = 2,   // read: reset the block-data pointer; write: start / close
    HostCommand = 3,
    SlaveAddress = 4,
    Data0 = 5,         // block count; low byte of a word
    Data1 = 6,         // high byte of a word
    BlockData = 7,
};

inline constexpr uint8_t kSmbusStatusBusy = 0x01;
inline constexpr uint8_t kSmbusStatusCompleted = 0x02;
inline constexpr uint8_t kSmbusStatusClearAll = 0xFF;
inline constexpr uint8_t kSmbusStartBlock = 0x54;
inline constexpr uint8_t kSmbusStartWordData = 0x4C;
inline constexpr uint8_t kSmbusCloseStage = 0x20;
inline constexpr uint8_t kSmbusCommandBlock = 0x00;
inline constexpr uint32_t kSmbusStepWaitMs = 4;
// The most data bytes one SMBus block transfer carries.
inline constexpr int32_t kSmbusMaxBlockBytes = 32;

class SmbusHostController {
public:
    SmbusHostController(Machine& machine, int32_t ioBase)
        : machine_(machine), ioBase_(static_cast<uint16_t>(ioBase)) {}

    uint8_t Read(SmbusRegister reg) { return machine_.InPort8(Port(reg)); }
    void Write(SmbusRegister reg, uint8_t value) { machine_.OutPort8(Port(reg), value); }
    // The pause between two steps; the sequences never poll for completion.
    void Wait();

private:
    uint16_t Port(SmbusRegister reg) const {
        return static_cast<uint16_t>(ioBase_ + static_cast<uint16_t>(reg));
    }

    Machine& machine_;
    uint16_t ioBase_;
};

}  // namespace vc
