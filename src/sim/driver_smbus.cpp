#include "sim/driver_smbus.h"

#include <array>
#include <vector>

#include "sim/smbus_regs.h"

namespace vc::sim {

using namespace smbus;

namespace {

uint32_t Le32(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

constexpr size_t kIcsBlock = 7;
constexpr size_t kRtmBlock = 17;
constexpr uint8_t kRtmGuard = 0x4B;

// One request's view of the controller.
class Controller {
public:
    Controller(DriverPorts& ports, const SmbusWriteRequest& r)
        : ports_(ports),
          base_(static_cast<uint16_t>(r.ioBase)),
          writeAddress_(static_cast<uint8_t>(r.writeAddress)),
          mask_(static_cast<uint8_t>(r.firstByteMask)) {}

    uint8_t In(uint16_t reg) { return ports_.In(static_cast<uint16_t>(base_ + reg)); }
    void Out(uint16_t reg, uint8_t value) { ports_.Out(static_cast<uint16_t>(base_ + reg), value); }
    void Wait() { ports_.Wait(); }
    // A start, then the status check the driver adds.
    void Start(uint8_t control) {
        Out(kControl, control);
        if ((In(kStatus) & kStatusErrors) != 0) ok_ = false;
    }
    bool ok() const { return ok_; }
    uint8_t writeAddress() const { return writeAddress_; }
    uint8_t mask() const { return mask_; }

    // Byte by byte block write of `bytes` (first byte taken as given).
    void ByteWiseBlock(std::span<const uint8_t> bytes) {
        for (size_t i = 0; i < bytes.size() && ok_; ++i) {
            Out(kBlockData, bytes[i]);
            if (i == 0) Start(kStartBlock);
            else Out(kStatus, 0xFF);
            Wait();
        }
    }

    void Prepare(uint8_t count) {
        In(kControl);
        Out(kStatus, 0xFF);
        Out(kCommand, 0x00);
        Out(kAddress, writeAddress_);
        Out(kData0, count);
    }

    // The read-back of the chip's register block; false unless the chip
    // answered with at least `wanted` bytes.
    bool ReadBlock(std::vector<uint8_t>& out, size_t wanted) {
        In(kControl);
        Wait();
        Out(kStatus, 0xFF);
        Wait();
        Out(kAddress, static_cast<uint8_t>(writeAddress_ | 1));
        Wait();
        Out(kControl, kStartBlock);
        Wait();
        const uint8_t status = In(kStatus);
        Wait();
        if ((status & kStatusBusy) == 0 || (status & kStatusErrors) != 0) return false;
        const auto count = static_cast<int8_t>(In(kData0));
        for (int i = 0; i < count; ++i) {
            const uint8_t value = In(kBlockData);
            Out(kStatus, 0xFF);
            Wait();
            if (out.size() < wanted) out.push_back(value);
        }
        return out.size() == wanted;
    }

private:
    DriverPorts& ports_;
    uint16_t base_;
    uint8_t writeAddress_;
    uint8_t mask_;
    bool ok_ = true;
};

std::vector<uint8_t> MaskedCopy(std::span<const uint8_t> data, uint8_t mask) {
    std::vector<uint8_t> bytes(data.begin(), data.end());
    if (!bytes.empty()) bytes[0] |= mask;
    return bytes;
}

bool BlockWriteBuffered(Controller& c, std::span<const uint8_t> data) {
    const auto bytes = MaskedCopy(data, c.mask());
    c.In(kControl);
    c.Out(kStatus, 0xFF);
    c.Out(kAddress, c.writeAddress());
    c.Out(kData0, static_cast<uint8_t>(bytes.size()));
    for (uint8_t b : bytes) c.Out(kBlockData, b);
    c.Wait();
    c.Out(kControl, kStartBlock);
    const uint8_t status = c.In(kStatus);
    return (status & kStatusDone) != 0 && (status & kStatusErrors) == 0;
}

bool BlockWriteByteWise(Controller& c, std::span<const uint8_t> data) {
    const auto bytes = MaskedCopy(data, c.mask());
    c.Prepare(static_cast<uint8_t>(bytes.size()));
    c.ByteWiseBlock(bytes);
    return c.ok();
}

bool WriteIcs9248(Controller& c, std::span<const uint8_t> data) {
    std::vector<uint8_t> block;
    if (!c.ReadBlock(block, kIcsBlock)) return false;
    block[6] = static_cast<uint8_t>(data[0] | c.mask());
    c.Prepare(static_cast<uint8_t>(kIcsBlock));
    c.ByteWiseBlock(block);
    // The select byte once more, then close the stage.
    c.Out(kBlockData, block[6]);
    c.Start(kStartBlock);
    c.Wait();
    c.Out(kStatus, 0xFF);
    c.Wait();
    c.Out(kControl, kControlLastByte);
    c.Wait();
    return c.ok();
}

bool WriteRtm560(Controller& c, std::span<const uint8_t> data) {
    std::vector<uint8_t> block;
    if (!c.ReadBlock(block, kRtmBlock)) return false;
    block[16] = kRtmGuard;
    c.Prepare(static_cast<uint8_t>(kRtmBlock));
    c.ByteWiseBlock(block);
    // Close the block, then the two word writes, each stage closed.
    struct Step {
        uint16_t reg;
        uint8_t value;
    };
    static constexpr std::array<Step, 16> kWordWrites = {{
        {kStatus, 0xFF}, {kControl, kControlLastByte}, {kStatus, 0xFF}, {kData0, 0x00},
        {kCommand, 0x1F}, {kData1, 0x02}, {kControl, kStartWordData}, {kStatus, 0xFF},
        {kControl, kControlLastByte}, {kStatus, 0xFF}, {kData0, 0x00}, {kCommand, 0x10},
        {kData1, 0x49}, {kControl, kStartWordData}, {kStatus, 0xFF}, {kControl, kControlLastByte},
    }};
    for (const auto& step : kWordWrites) {
        if (step.reg == kControl && step.value == kStartWordData) c.Start(step.value);
        else c.Out(step.reg, step.value);
        c.Wait();
    }
    // The select itself.
    const auto bytes = MaskedCopy(data, c.mask());
    c.In(kControl);
    c.Out(kStatus, 0xFF);
    c.Out(kAddress, c.writeAddress());
    c.Out(kCommand, 0x00);
    c.Out(kData0, static_cast<uint8_t>(bytes.size()));
    c.ByteWiseBlock(bytes);
    c.Wait();
    return c.ok();
}

}  // namespace

bool ParseSmbusWriteRequest(std::span<const uint8_t> input, SmbusWriteRequest& r) {
    if (input.size() < kSmbusWriteRequestSize) return false;
    r.ioBase = Le32(input, 0);
    r.count = Le32(input, 4);
    r.dataAddress = Le32(input, 8);
    r.operation = Le32(input, 12);
    r.controllerKind = Le32(input, 16);
    r.writeAddress = Le32(input, 20);
    r.firstByteMask = Le32(input, 24);
    return true;
}

bool RunSmbusRequest(DriverPorts& ports, DriverSequence sequence, const SmbusWriteRequest& request,
                     std::span<const uint8_t> data) {
    Controller c(ports, request);
    const auto bytes = data.first(request.count);
    switch (sequence) {
    case DriverSequence::BlockWrite:
        if (request.controllerKind == 1) return BlockWriteBuffered(c, bytes);
        if (request.controllerKind == 2) return BlockWriteByteWise(c, bytes);
        return false;
    case DriverSequence::Ics9248: return WriteIcs9248(c, bytes);
    case DriverSequence::Rtm560: return WriteRtm560(c, bytes);
    }
    return false;
}

}  // namespace vc::sim
