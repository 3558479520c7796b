#include "core/hw/smbus_sequences.h"

#include <algorithm>
#include <array>

#include "core/hw/smbus_access.h"
#include "core/hw/smbus_registers.h"

namespace vc {

using namespace smbus;

namespace {

constexpr size_t kIcs9248BlockBytes = 7;
constexpr size_t kIcs9248SelectIndex = 6;
constexpr size_t kRtm560BlockBytes = 17;
constexpr size_t kRtm560SelectIndex = 0;  // the one-byte select with command 0x00
constexpr size_t kRtm560LastIndex = 16;
constexpr uint8_t kRtm560LastByte = 0x4B;
// A block transfer at 100 kHz takes about 3 ms; a controller still busy
// after this many step pauses has hung.
constexpr int kCompletionPolls = 8;

struct RegisterWrite {
    uint16_t reg;
    uint8_t value;
};

// After the block, the RTM560-25 takes two word writes: command 0x1F with
// data 0x00 0x02, then command 0x10 with data 0x00 0x49; every stage is
// closed with the last-byte bit in host control.
constexpr RegisterWrite kRtm560WordWrites[] = {
    {kStatus, kStatusClearAll}, {kControl, kControlLastByte}, {kStatus, kStatusClearAll},
    {kData0, 0x00},             {kCommand, 0x1F},             {kData1, 0x02},
    {kControl, kStartWordData}, {kStatus, kStatusClearAll},   {kControl, kControlLastByte},
    {kStatus, kStatusClearAll}, {kData0, 0x00},               {kCommand, 0x10},
    {kData1, 0x49},             {kControl, kStartWordData},   {kStatus, kStatusClearAll},
    {kControl, kControlLastByte},
};

using Block = std::array<uint8_t, kBlockBufferSize>;

// One write's view of the controller.
class Sequencer {
public:
    Sequencer(SmbusPorts& ports, const SmbusTarget& target, StartChecks checks)
        : ports_(ports), target_(target), checks_(checks) {}

    uint8_t In(uint16_t reg) { return ports_.In(Port(reg)); }
    void Out(uint16_t reg, uint8_t value) { ports_.Out(Port(reg), value); }
    void ClearStatus() { Out(kStatus, target_.statusClear); }
    void Wait() { ports_.Wait(); }
    bool ok() const { return ok_; }

    // A start, with the status check the driver adds.
    void Start(uint8_t control) {
        Out(kControl, control);
        if (checks_ == StartChecks::StatusAfterStart && (StatusWhenSettled() & kStatusErrors) != 0) ok_ = false;
    }

    // The status once the controller reports something: done, an error, or
    // (byte by byte) that it wants the next byte. While the bytes of a start
    // are still on the wire it shows BUSY alone; a controller that stays so
    // for several step pauses has hung, and its status is taken as it is.
    uint8_t StatusWhenSettled() {
        uint8_t status = In(kStatus);
        // (The semaphore bit of the byte-by-byte controller is set all along.)
        const auto busyAlone = [](uint8_t value) { return (value & ~kStatusInUse) == kStatusBusy; };
        for (int poll = 0; busyAlone(status) && poll < kCompletionPolls; ++poll) {
            Wait();
            status = In(kStatus);
        }
        return status;
    }

    // The status once the controller reports done or an error; a controller
    // that reports neither within the polls has hung.
    uint8_t StatusWhenDone() {
        uint8_t status = In(kStatus);
        for (int poll = 0; (status & (kStatusDone | kStatusErrors)) == 0 && poll < kCompletionPolls; ++poll) {
            Wait();
            status = In(kStatus);
        }
        return status;
    }

    // Header of a byte-by-byte block write of `count` bytes.
    void PrepareByteWise(uint8_t count) {
        In(kControl);
        ClearStatus();
        Out(kCommand, kCommandBlock);
        Out(kAddress, target_.writeAddress);
        Out(kData0, count);
    }

    // Kind 2: the first byte is latched and the transfer started, every later
    // byte is released by clearing the status; a pause after each.
    void SendByteWise(std::span<const uint8_t> bytes) {
        for (size_t i = 0; i < bytes.size() && ok_; ++i) {
            Out(kBlockData, bytes[i]);
            if (i == 0) {
                Start(kStartBlock);
            } else {
                ClearStatus();
            }
            Wait();
        }
    }

    int32_t ReadBlock(std::span<uint8_t> block) {
        In(kControl);
        Wait();
        ClearStatus();
        Wait();
        Out(kAddress, target_.readAddress);
        Out(kCommand, kCommandBlock);
        Wait();
        Out(kControl, kStartBlock);
        Wait();
        // The controller stays busy while the chip hands over its bytes; an
        // idle controller means nobody answered.
        const uint8_t status = In(kStatus);
        Wait();
        if ((status & kStatusBusy) == 0 || (status & kStatusErrors) != 0) return -1;
        // The chip's count is a signed byte; 0x80 and above read nothing.
        const int32_t reported = static_cast<int8_t>(In(kData0));
        for (int32_t i = 0; i < reported; ++i) {
            const uint8_t value = In(kBlockData);
            ClearStatus();
            Wait();
            if (static_cast<size_t>(i) < block.size()) block[static_cast<size_t>(i)] = value;
        }
        return std::max(reported, 0);
    }

    // Kind 1: the controller takes the whole block into its buffer before
    // it reports done; reading host control rewinds the buffer pointer.
    int32_t ReadBuffered(std::span<uint8_t> block) {
        In(kControl);
        ClearStatus();
        Out(kAddress, target_.readAddress);
        Out(kCommand, kCommandBlock);
        Out(kControl, kStartBlock);
        const uint8_t status = StatusWhenDone();
        if ((status & kStatusDone) == 0 || (status & kStatusErrors) != 0) return -1;
        const int32_t reported = std::min<int32_t>(In(kData0), static_cast<int32_t>(kBlockBufferSize));
        In(kControl);
        for (int32_t i = 0; i < reported; ++i) {
            const uint8_t value = In(kBlockData);
            if (static_cast<size_t>(i) < block.size()) block[static_cast<size_t>(i)] = value;
        }
        return reported;
    }

    // The whole block or nothing.
    bool ReadWholeBlock(std::span<uint8_t> block) {
        return ReadBlock(block) >= static_cast<int32_t>(block.size());
    }

    uint8_t writeAddress() const { return target_.writeAddress; }

private:
    uint16_t Port(uint16_t reg) const { return static_cast<uint16_t>(target_.ioBase + reg); }

    SmbusPorts& ports_;
    SmbusTarget target_;
    StartChecks checks_;
    bool ok_ = true;
};

// The data bytes with the chip's mask ORed into the first.
Block Masked(std::span<const uint8_t> data, uint8_t mask) {
    Block block{};
    std::copy(data.begin(), data.end(), block.begin());
    block[0] = static_cast<uint8_t>(block[0] | mask);
    return block;
}

// Kind 1: the bytes go into the controller's block buffer before the start.
bool WriteBuffered(Sequencer& s, std::span<const uint8_t> data, uint8_t mask) {
    const Block block = Masked(data, mask);
    s.In(kControl);  // rewinds the block-data pointer
    s.ClearStatus();
    s.Out(kAddress, s.writeAddress());
    // Whatever the last transfer left in the command register would go out
    // as the first byte and decide where the block lands.
    s.Out(kCommand, kCommandBlock);
    s.Out(kData0, static_cast<uint8_t>(data.size()));
    for (size_t i = 0; i < data.size(); ++i) s.Out(kBlockData, block[i]);
    s.Wait();
    s.Out(kControl, kStartBlock);
    const uint8_t status = s.StatusWhenSettled();
    return (status & kStatusDone) != 0 && (status & kStatusErrors) == 0;
}

bool WriteByteWise(Sequencer& s, std::span<const uint8_t> data, uint8_t mask) {
    const Block block = Masked(data, mask);
    s.PrepareByteWise(static_cast<uint8_t>(data.size()));
    s.SendByteWise(std::span(block).first(data.size()));
    return s.ok();
}

bool WriteIcs9248(Sequencer& s, std::span<const uint8_t> data, uint8_t mask) {
    std::array<uint8_t, kIcs9248BlockBytes> block{};
    if (!s.ReadWholeBlock(block)) return false;
    // Only the select byte changes; the count is not used.
    block[kIcs9248SelectIndex] = static_cast<uint8_t>(data[0] | mask);
    s.PrepareByteWise(static_cast<uint8_t>(kIcs9248BlockBytes));
    s.SendByteWise(block);
    // The chip takes the select byte only when it comes once more.
    s.Out(kBlockData, block[kIcs9248SelectIndex]);
    s.Start(kStartBlock);
    s.Wait();
    s.ClearStatus();
    s.Wait();
    s.Out(kControl, kControlLastByte);
    s.Wait();
    return s.ok();
}

bool WriteRtm560(Sequencer& s, std::span<const uint8_t> data, uint8_t mask) {
    std::array<uint8_t, kRtm560BlockBytes> block{};
    if (!s.ReadWholeBlock(block)) return false;
    block[kRtm560LastIndex] = kRtm560LastByte;
    s.PrepareByteWise(static_cast<uint8_t>(kRtm560BlockBytes));
    s.SendByteWise(block);  // written back unmasked
    for (const RegisterWrite& write : kRtm560WordWrites) {
        if (write.reg == kControl && write.value == kStartWordData) {
            s.Start(write.value);
        } else if (write.reg == kStatus) {
            s.ClearStatus();
        } else {
            s.Out(write.reg, write.value);
        }
        s.Wait();
    }

    const Block select = Masked(data, mask);
    s.In(kControl);
    s.ClearStatus();
    s.Out(kAddress, s.writeAddress());
    s.Out(kCommand, kCommandBlock);
    s.Out(kData0, static_cast<uint8_t>(data.size()));
    s.SendByteWise(std::span(select).first(data.size()));
    s.Wait();
    return s.ok();
}

}  // namespace

bool RunSmbusWrite(SmbusPorts& ports, SmbusVariant variant, const SmbusTarget& target,
                   std::span<const uint8_t> data, StartChecks checks) {
    if (data.empty() || data.size() > kBlockBufferSize) return false;
    Sequencer s(ports, target, checks);
    switch (variant) {
        case SmbusVariant::BlockBuffered: return WriteBuffered(s, data, target.firstByteMask);
        case SmbusVariant::BlockByteWise: return WriteByteWise(s, data, target.firstByteMask);
        case SmbusVariant::Ics9248: return WriteIcs9248(s, data, target.firstByteMask);
        case SmbusVariant::Rtm560: return WriteRtm560(s, data, target.firstByteMask);
    }
    return false;
}

std::optional<size_t> ReadBackSelectIndex(SmbusVariant variant) {
    switch (variant) {
        case SmbusVariant::Ics9248: return kIcs9248SelectIndex;
        case SmbusVariant::Rtm560: return kRtm560SelectIndex;
        case SmbusVariant::BlockBuffered:
        case SmbusVariant::BlockByteWise: break;
    }
    return std::nullopt;
}

int32_t ReadSmbusBlock(SmbusPorts& ports, const SmbusTarget& target, std::span<uint8_t> block) {
    Sequencer s(ports, target, StartChecks::None);
    return s.ReadBlock(block);
}

int32_t ReadSmbusBlockBuffered(SmbusPorts& ports, const SmbusTarget& target, std::span<uint8_t> block) {
    Sequencer s(ports, target, StartChecks::None);
    return s.ReadBuffered(block);
}

int32_t ReadSmbusBlockOfKind(SmbusPorts& ports, int32_t kind, const SmbusTarget& target,
                             std::span<uint8_t> block) {
    switch (kind) {
        case kSmbusControllerBlockBuffer: return ReadSmbusBlockBuffered(ports, target, block);
        case kSmbusControllerByteWise: return ReadSmbusBlock(ports, target, block);
        default: return -1;
    }
}

}  // namespace vc
