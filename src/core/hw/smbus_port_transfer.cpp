#include "core/hw/smbus_port_transfer.h"

#include "core/hw/smbus_access.h"
#include "core/hw/smbus_registers.h"

namespace vc {

namespace {

using namespace smbus;

class Registers {
public:
    Registers(SmbusPorts& ports, int32_t kind, uint16_t base) : ports_(ports), kind_(kind), base_(base) {}
    uint8_t In(uint16_t reg) { return ports_.In(static_cast<uint16_t>(base_ + reg)); }
    void Out(uint16_t reg, uint8_t value) { ports_.Out(static_cast<uint16_t>(base_ + reg), value); }
    void Wait() { ports_.Wait(); }

    // The bits this controller's transfer clears (see smbus_registers.h).
    uint8_t Flags() const { return StatusFlagsOf(kind_); }

    // The status once BUSY has gone, or with BUSY still set after the polls.
    uint8_t StatusWhenIdle() {
        uint8_t status = In(kStatus);
        for (int poll = 0; (status & kStatusBusy) != 0 && poll < kIdlePolls; ++poll) {
            Wait();
            status = In(kStatus);
        }
        return status;
    }

    // Idle, held, and with the completion and error bits cleared; false
    // (nothing written but, on the byte-by-byte controller, the semaphore
    // handed back if this read took it) when somebody else's transfer is
    // still going or firmware holds the semaphore for the whole wait.
    bool Claim() {
        const bool semaphore = kind_ == kSmbusControllerByteWise;
        bool held = false;
        for (int poll = 0; poll <= kIdlePolls; ++poll) {
            if (poll != 0) Wait();
            const uint8_t status = In(kStatus);
            // A read that finds the semaphore clear has just taken it.
            held = held || !semaphore || (status & kStatusInUse) == 0;
            if (held && (status & kStatusBusy) == 0) {
                Out(kStatus, Flags());
                return true;
            }
        }
        if (semaphore && held) Out(kStatus, kStatusInUse);
        return false;
    }

    // BYTE_DONE (or the end, or an error) of the byte-by-byte controller;
    // the status then, 0 when neither came within the polls.
    uint8_t WaitForByte() {
        for (int poll = 0; poll < kIdlePolls; ++poll) {
            const uint8_t status = In(kStatus);
            if ((status & (kStatusByteDone | kStatusErrors)) != 0) return status;
            if ((status & kStatusBusy) == 0 && (status & kStatusDone) != 0) return status;
            Wait();
        }
        return 0;
    }

    // Whatever the sequence left: clear the status (the byte-by-byte
    // controller finishes a block only once the last byte's BYTE_DONE is
    // cleared), wait for the wire, stop a transfer that hangs. False when a
    // transfer had to be stopped: then it did not complete.
    // The last write hands the semaphore back.
    bool Release() {
        Out(kStatus, Flags());
        bool ended = true;
        if ((StatusWhenIdle() & kStatusBusy) != 0) {
            Out(kControl, kControlKill);
            Wait();
            Out(kControl, 0);
            ended = false;
        }
        const bool semaphore = kind_ == kSmbusControllerByteWise;
        Out(kStatus, static_cast<uint8_t>(Flags() | (semaphore ? kStatusInUse : 0)));
        return ended;
    }

    // The byte-by-byte controller's auxiliary bits off for a transfer, and
    // back as they were afterwards.
    uint8_t SaveAux() {
        if (kind_ != kSmbusControllerByteWise) return 0;
        const uint8_t aux = In(kAuxControl);
        if ((aux & kAuxControlOurs) != 0) Out(kAuxControl, static_cast<uint8_t>(aux & ~kAuxControlOurs));
        return aux;
    }
    void RestoreAux(uint8_t aux) {
        if (kind_ == kSmbusControllerByteWise && (aux & kAuxControlOurs) != 0) Out(kAuxControl, aux);
    }

private:
    SmbusPorts& ports_;
    int32_t kind_;
    uint16_t base_;
};

int32_t BufferedBlockRead(Registers& regs, std::span<uint8_t> block) {
    regs.In(kControl);  // rewinds the buffer pointer
    regs.Out(kControl, kStartBlock);
    regs.Wait();
    const uint8_t status = regs.StatusWhenIdle();
    if ((status & (kStatusBusy | kStatusErrors)) != 0 || (status & kStatusDone) == 0) return -1;
    const uint8_t count = regs.In(kData0);
    if (count == 0 || count > kBlockBufferSize) return -1;
    regs.In(kControl);
    for (uint8_t i = 0; i < count; ++i) {
        const uint8_t value = regs.In(kBlockData);
        if (i < block.size()) block[i] = value;
    }
    return count;
}

int32_t ByteWiseBlockRead(Registers& regs, std::span<uint8_t> block) {
    regs.Out(kControl, kStartBlock);
    uint8_t count = 1;
    for (uint8_t i = 0; i < count; ++i) {
        const uint8_t status = regs.WaitForByte();
        if ((status & kStatusByteDone) == 0) return -1;
        if (i == 0) {
            count = regs.In(kData0);
            if (count == 0 || count > kBlockBufferSize) return -1;
        }
        const uint8_t value = regs.In(kBlockData);
        if (i < block.size()) block[i] = value;
        // The next byte is the last: say so before releasing it.
        if (i + 2 == count) regs.Out(kControl, kProtocolBlock | kControlLastByte);
        regs.Out(kStatus, kStatusByteDone);
    }
    const uint8_t status = regs.StatusWhenIdle();
    if ((status & kStatusErrors) != 0) return -1;
    return count;
}

}  // namespace

uint8_t StatusFlagsOf(int32_t kind) {
    return kind == kSmbusControllerByteWise ? kStatusFlagsByteWise : kStatusFlagsBlockBuffer;
}

const char* PortTransferText(PortTransfer result) {
    switch (result) {
        case PortTransfer::Done: return "done";
        case PortTransfer::Busy: return "the controller stays busy";
        case PortTransfer::Failed: return "the controller reported an error or the chip's read-back was short";
        case PortTransfer::Stopped: return "the transfer did not end and was stopped";
    }
    return "";
}

PortTransfer RunPortWrite(SmbusPorts& ports, int32_t kind, SmbusVariant variant, const SmbusTarget& target,
                          std::span<const uint8_t> data) {
    Registers regs(ports, kind, target.ioBase);
    if (!regs.Claim()) return PortTransfer::Busy;
    const uint8_t aux = regs.SaveAux();
    SmbusTarget ours = target;
    ours.statusClear = regs.Flags();
    const bool ok = RunSmbusWrite(ports, variant, ours, data, StartChecks::StatusAfterStart);
    const bool ended = regs.Release();
    regs.RestoreAux(aux);
    if (!ok) return PortTransfer::Failed;
    return ended ? PortTransfer::Done : PortTransfer::Stopped;
}

std::optional<bool> PortDeviceAnswers(SmbusPorts& ports, int32_t kind, uint16_t ioBase, uint8_t address7) {
    Registers regs(ports, kind, ioBase);
    if (!regs.Claim()) return std::nullopt;
    regs.Out(kAddress, static_cast<uint8_t>(address7 << 1 | 1));
    regs.Out(kControl, kControlStart | kProtocolByte);
    regs.Wait();
    const uint8_t status = regs.StatusWhenIdle();
    regs.Release();
    if ((status & kStatusBusy) != 0) return std::nullopt;
    if ((status & kStatusDeviceError) != 0) return false;
    if ((status & (kStatusBusError | kStatusFailed)) != 0) return std::nullopt;
    if ((status & kStatusDone) != 0) return true;
    return std::nullopt;
}

int32_t PortBlockRead(SmbusPorts& ports, int32_t kind, uint16_t ioBase, uint8_t address7, std::span<uint8_t> block) {
    Registers regs(ports, kind, ioBase);
    if (!regs.Claim()) return -1;
    const uint8_t aux = regs.SaveAux();
    regs.Out(kAddress, static_cast<uint8_t>(address7 << 1 | 1));
    regs.Out(kCommand, kCommandBlock);
    const bool byteWise = kind == kSmbusControllerByteWise;
    const int32_t count = byteWise ? ByteWiseBlockRead(regs, block) : BufferedBlockRead(regs, block);
    const bool ended = regs.Release();
    regs.RestoreAux(aux);
    return ended ? count : -1;
}

}  // namespace vc
