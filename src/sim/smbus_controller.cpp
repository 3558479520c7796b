#include "sim/smbus_controller.h"

namespace vc::sim {

using namespace smbus;

namespace {
// What a start puts on the wire before the controller can report anything:
// address, command and count byte ahead of the first data byte.
constexpr uint64_t kHeaderBytes = 3;
constexpr uint8_t kStatusReported = kStatusDone | kStatusByteDone | kStatusErrors;
// The block-buffer controller's status bits 5-7 (reserved on the PIIX4).
constexpr uint8_t kReservedStatusBits = 0xE0;
}  // namespace

SmbusController::SmbusController(int32_t kind, uint16_t base, const SmbusBus& bus, Trace& trace,
                                 const SimClock* clock)
    : kind_(kind), base_(base), bus_(bus), trace_(trace), clock_(clock) {}

bool SmbusController::WireBusy() const { return clock_ != nullptr && clock_->NowPs() < wireFreeAtPs_; }

void SmbusController::OccupyWire(uint64_t bytes) {
    if (clock_ == nullptr) return;
    const uint64_t now = clock_->NowPs();
    // A byte released while others are still on the wire follows them.
    wireFreeAtPs_ = (wireFreeAtPs_ > now ? wireFreeAtPs_ : now) + bytes * kSmbusByteTimePs;
}

uint8_t SmbusController::Peek(uint16_t offset) const {
    switch (offset) {
    case kStatus: {
        const uint8_t semaphore = kind_ == 2 && inUse_ ? kStatusInUse : 0;
        if (WireBusy()) return static_cast<uint8_t>((status_ & ~kStatusReported) | kStatusBusy | semaphore);
        return static_cast<uint8_t>(status_ | semaphore);
    }
    case kControl: return control_;
    case kCommand: return command_;
    case kAddress: return address_;
    case kData0: return data0_;
    case kData1: return data1_;
    case kBlockData:
        if (kind_ == 2) return blockData_;
        return pointer_ < buffer_.size() ? buffer_[pointer_] : 0;
    default: return 0;
    }
}

uint8_t SmbusController::Read(uint16_t offset) {
    const uint8_t value = Peek(offset);
    // Reading the status takes the byte-by-byte controller's semaphore.
    if (offset == kStatus && kind_ == 2) inUse_ = true;
    if (offset == kControl) pointer_ = 0;
    if (offset == kBlockData && kind_ == 1 && pointer_ < buffer_.size()) ++pointer_;
    return value;
}

void SmbusController::Write(uint16_t offset, uint8_t value) {
    switch (offset) {
    case kStatus:
        status_ &= static_cast<uint8_t>(~(value & ~kStatusBusy));
        if (kind_ == 2 && (value & kStatusInUse) != 0) inUse_ = false;
        if (kind_ == 1 && (value & kReservedStatusBits) != 0) ++reservedWrites_;
        if ((value & kStatusByteDone) != 0) {
            if (pending_ == Pending::Write) SendNextByte();
            else if (pending_ == Pending::Read) AdvanceRead();
        }
        break;
    case kControl:
        control_ = static_cast<uint8_t>(value & ~kControlStart);
        if ((value & kControlStart) != 0) {
            Start(value);
        } else if ((value & kControlLastByte) != 0 && pending_ == Pending::Write) {
            FinishWrite(false);
        } else if ((value & kControlLastByte) != 0 && pending_ == Pending::Read) {
            // The byte after the one held is the last: the controller
            // answers it with a NACK and the stop (Intel ICH datasheets,
            // HST_CNT LAST_BYTE; Linux i2c-i801 sets it so for block reads).
            if (readBytes_.size() > readIndex_ + 2) readBytes_.resize(readIndex_ + 2);
        }
        break;
    case kCommand: command_ = value; break;
    case kAddress: address_ = value; break;
    case kData0: data0_ = value; break;
    case kData1: data1_ = value; break;
    case kBlockData:
        if (kind_ == 2) blockData_ = value;
        else if (pointer_ < buffer_.size()) buffer_[pointer_++] = value;
        break;
    default: break;
    }
}

void SmbusController::Start(uint8_t control) {
    // A new start cuts short whatever the byte-by-byte controller still had open.
    if (pending_ == Pending::Write) FinishWrite(false);
    pending_ = Pending::None;
    if (clock_ != nullptr) wireFreeAtPs_ = clock_->NowPs();

    const uint8_t protocol = control & kControlProtocolMask;
    const bool read = (address_ & 1) != 0;
    SmbusTarget* device = bus_.Find(address_);
    if (protocol == kProtocolBlock) {
        const SmbusProtocol kindOf = read ? SmbusProtocol::BlockRead : SmbusProtocol::BlockWrite;
        if (device == nullptr) return Fail(kindOf, kStatusDeviceError, false);
        return read ? StartBlockRead(*device) : StartBlockWrite(*device);
    }
    if (protocol == kProtocolWordData && !read) {
        if (device == nullptr) return Fail(SmbusProtocol::WordWrite, kStatusDeviceError, false);
        SmbusTransaction t{address_, SmbusProtocol::WordWrite, command_, 2, {data0_, data1_}};
        trace_.Add(t);
        OccupyWire(kHeaderBytes + 1);
        device->WordWrite(command_, data0_, data1_);
        return Finish(kStatusDone);
    }
    if (protocol == kProtocolByte && read) {
        // Whether anybody is there: the privileged components' probe asks so
        // before it reads a block back. The byte itself is not modelled.
        if (device == nullptr) return Fail(SmbusProtocol::ReceiveByte, kStatusDeviceError, false);
        trace_.Add(SmbusTransaction{address_, SmbusProtocol::ReceiveByte, command_, 0, {}});
        OccupyWire(2);
        return Finish(kStatusDone);
    }
    Fail(SmbusProtocol::Unsupported, kStatusFailed, device != nullptr);
}

void SmbusController::Fail(SmbusProtocol protocol, uint8_t statusBits, bool acknowledged) {
    OccupyWire(1);  // the address byte that went unanswered, or the refusal
    SmbusTransaction t{address_, protocol, command_, 0, {}};
    t.acknowledged = acknowledged;
    t.complete = false;
    trace_.Add(t);
    status_ = static_cast<uint8_t>((status_ & ~(kStatusBusy | kStatusByteDone)) | statusBits);
}

void SmbusController::Finish(uint8_t statusBits) {
    status_ = static_cast<uint8_t>((status_ & ~(kStatusBusy | kStatusByteDone)) | statusBits);
}

void SmbusController::StartBlockWrite(SmbusTarget& device) {
    const uint8_t count = data0_;
    if (count == 0 || (kind_ == 1 && count > kBlockBufferSize)) {
        return Fail(SmbusProtocol::BlockWrite, kStatusFailed, true);
    }
    current_ = SmbusTransaction{address_, SmbusProtocol::BlockWrite, command_, count, {}};
    if (kind_ == 1) {
        current_.bytes.assign(buffer_.begin(), buffer_.begin() + count);
        trace_.Add(current_);
        OccupyWire(kHeaderBytes + count);
        device.BeginBlockWrite(command_, count);
        for (uint8_t b : current_.bytes) device.BlockWriteByte(b);
        device.EndBlockWrite(true);
        return Finish(kStatusDone);
    }
    device_ = &device;
    pending_ = Pending::Write;
    current_.complete = false;
    currentIndex_ = trace_.Add(current_);
    device.BeginBlockWrite(command_, count);
    OccupyWire(kHeaderBytes);
    SendNextByte();
}

void SmbusController::SendNextByte() {
    const uint8_t value = blockData_;
    OccupyWire(1);
    current_.bytes.push_back(value);
    if (auto* entry = trace_.TransactionAt(currentIndex_)) entry->bytes = current_.bytes;
    device_->BlockWriteByte(value);
    if (current_.bytes.size() >= current_.count) return FinishWrite(true);
    status_ |= kStatusBusy | kStatusByteDone;
}

void SmbusController::FinishWrite(bool complete) {
    pending_ = Pending::None;
    if (auto* entry = trace_.TransactionAt(currentIndex_)) entry->complete = complete;
    device_->EndBlockWrite(complete);
    Finish(kStatusDone);
}

void SmbusController::StartBlockRead(SmbusTarget& device) {
    readBytes_ = device.BlockRead(command_);
    if (readBytes_.size() > 0xFF) readBytes_.resize(0xFF);
    const auto count = static_cast<uint8_t>(readBytes_.size());
    data0_ = count;
    trace_.Add(SmbusTransaction{address_, SmbusProtocol::BlockRead, command_, count, readBytes_});
    // Address, command, the repeated address and the count; the block-buffer
    // controller takes every byte before it reports.
    OccupyWire(kHeaderBytes + 1 + (kind_ == 1 ? count : (count > 0 ? 1 : 0)));
    if (kind_ == 1) {
        for (size_t i = 0; i < readBytes_.size() && i < buffer_.size(); ++i) buffer_[i] = readBytes_[i];
        pointer_ = 0;
        return Finish(kStatusDone);
    }
    if (readBytes_.empty()) return Finish(kStatusDone);
    pending_ = Pending::Read;
    readIndex_ = 0;
    blockData_ = readBytes_[0];
    status_ |= kStatusBusy | kStatusByteDone;
}

void SmbusController::AdvanceRead() {
    ++readIndex_;
    if (readIndex_ < readBytes_.size()) {
        OccupyWire(1);
        blockData_ = readBytes_[readIndex_];
        status_ |= kStatusByteDone;
        return;
    }
    pending_ = Pending::None;
    Finish(kStatusDone);
}

}  // namespace vc::sim
