// SMBus host controllers, register-exact as a program drives them through
// ports base+0 .. base+7 (register map in core/hw/smbus_registers.h).
//
// Both kinds: a start with address bit 0 clear and protocol "block" sends
// a block write (command register, DAT0 bytes), with bit 0 set a block read;
// protocol "word data" sends command, DAT0 (low) and DAT1 (high); protocol
// "byte" with bit 0 set asks whether a device answers (receive byte). Every
// transaction lands in the trace and reaches the device when it starts, but
// the wire takes time: at 100 kHz a byte with its acknowledge takes 90 us,
// and until the bytes of a start (or of a released block byte) have passed,
// the status reads BUSY alone; DONE, BYTE_DONE and the error bits show only
// afterwards, so a program must poll as on a real controller. Without a
// clock (register tests) transfers take no time.
//
// Kind 1, block buffer: writes to register 7 fill a 32-byte buffer, reads of
// register 7 empty it, and reading host control rewinds its pointer. A block
// write sends DAT0 buffered bytes at once (DAT0 must be 1..32); a block read
// fills the buffer and leaves the count the device reported in DAT0.
//
// Kind 2, byte by byte: register 7 holds one byte. The start sends the byte
// latched there; while bytes remain the controller stays BUSY with BYTE_DONE
// set, and each status write with bit 7 set (0xFF) sends the byte register 7
// holds then. The write ends by itself after DAT0 bytes. A block read
// reports BUSY while bytes are pending, DAT0 holds the reported count,
// register 7 the current byte, and each status write moves to the next.
// Writing host control with bit 5 (0x20) and no start closes an unfinished
// transfer early (as does a new start); with nothing in progress it does
// nothing. Status bit 6 is its host semaphore (INUSE_STS): a status read
// shows it and then sets it, writing it 1 clears it; firmware may hold it
// (HoldSemaphore).
//
// Kind 1 keeps status bits 5-7 reserved; the model counts the status writes
// that set any of them (ReservedStatusWrites), which a careful driver never
// does.
#pragma once

#include <array>
#include <cstdint>
#include <map>

#include "core/hw/smbus_registers.h"
#include "sim/sim_time.h"
#include "sim/smbus_target.h"
#include "sim/trace.h"

namespace vc::sim {

// The devices on the bus by their 7-bit address.
class SmbusBus {
public:
    void Attach(uint8_t address7, SmbusTarget* device) { devices_[address7] = device; }
    SmbusTarget* Find(uint8_t address8) const {
        const auto it = devices_.find(static_cast<uint8_t>(address8 >> 1));
        return it == devices_.end() ? nullptr : it->second;
    }

private:
    std::map<uint8_t, SmbusTarget*> devices_;
};

// One byte on the wire at 100 kHz: eight data bits and the acknowledge.
inline constexpr uint64_t kSmbusByteTimePs = 90'000'000;

class SmbusController {
public:
    SmbusController(int32_t kind, uint16_t base, const SmbusBus& bus, Trace& trace,
                    const SimClock* clock = nullptr);

    int32_t kind() const { return kind_; }
    uint16_t base() const { return base_; }
    bool Owns(uint16_t port) const { return port >= base_ && port - base_ < smbus::kPortSpan; }

    uint8_t Read(uint16_t offset);
    void Write(uint16_t offset, uint8_t value);

    // Back door: a register as it stands, without the side effects of a read.
    uint8_t Peek(uint16_t offset) const;
    // Whether bytes are still on the wire.
    bool WireBusy() const;
    bool TransferPending() const { return pending_ != Pending::None; }
    // Kind 2: firmware takes (or gives back) the semaphore; whether it is held.
    void HoldSemaphore(bool held) { inUse_ = held; }
    bool SemaphoreHeld() const { return inUse_; }
    // Kind 1: status writes with a reserved bit set.
    int ReservedStatusWrites() const { return reservedWrites_; }

private:
    enum class Pending { None, Write, Read };

    void Start(uint8_t control);
    void StartBlockWrite(SmbusTarget& device);
    void StartBlockRead(SmbusTarget& device);
    void SendNextByte();
    void AdvanceRead();
    void FinishWrite(bool complete);
    void Finish(uint8_t statusBits);
    void Fail(SmbusProtocol protocol, uint8_t statusBits, bool acknowledged);
    // `bytes` more bytes go over the wire, after any still on it.
    void OccupyWire(uint64_t bytes);

    int32_t kind_;
    uint16_t base_;
    const SmbusBus& bus_;
    Trace& trace_;
    const SimClock* clock_;
    uint64_t wireFreeAtPs_ = 0;

    uint8_t status_ = 0;
    bool inUse_ = false;  // kind 2: the host semaphore
    int reservedWrites_ = 0;
    uint8_t control_ = 0;
    uint8_t command_ = 0;
    uint8_t address_ = 0;
    uint8_t data0_ = 0;
    uint8_t data1_ = 0;
    uint8_t blockData_ = 0;  // kind 2: the byte register 7 holds
    std::array<uint8_t, smbus::kBlockBufferSize> buffer_{};
    unsigned pointer_ = 0;   // kind 1: position in the buffer

    // Kind 2 transfer in progress.
    Pending pending_ = Pending::None;
    SmbusTarget* device_ = nullptr;
    SmbusTransaction current_;
    size_t currentIndex_ = 0;  // its trace entry
    std::vector<uint8_t> readBytes_;
    size_t readIndex_ = 0;
};

}  // namespace vc::sim
