#include "helper/kernel_sequences.h"

#include <algorithm>

#include "core/hw/smbus_registers.h"
#include "helper/log.h"

namespace vc::helper {

namespace {

using smbus::kCommandBlock;

constexpr size_t kIcs9248BlockBytes = 7;
constexpr size_t kIcs9248SelectIndex = 6;
constexpr size_t kRtm560BlockBytes = 17;
constexpr size_t kRtm560LastIndex = 16;
constexpr uint8_t kRtm560LastByte = 0x4B;

struct WordWrite {
    uint8_t command;
    uint16_t word;
};
constexpr WordWrite kRtm560WordWrites[] = {{0x1F, 0x0200}, {0x10, 0x4900}};

std::vector<uint8_t> Masked(std::span<const uint8_t> data, uint8_t mask) {
    std::vector<uint8_t> bytes(data.begin(), data.end());
    if (!bytes.empty()) bytes.front() = static_cast<uint8_t>(bytes.front() | mask);
    return bytes;
}

// The chip's whole block, or nothing.
std::optional<std::vector<uint8_t>> ReadWholeBlock(I2cAdapter& adapter, size_t size, std::string& why) {
    auto block = adapter.ReadBlock(kCommandBlock);
    if (!block) {
        why = "the chip's block read-back failed";
        return std::nullopt;
    }
    if (block->size() < size) {
        why = "the chip's block read-back answered " + std::to_string(block->size()) + " of " +
              std::to_string(size) + " bytes";
        return std::nullopt;
    }
    block->resize(size);
    return block;
}

bool Write(I2cAdapter& adapter, std::span<const uint8_t> bytes, const char* what, std::string& why) {
    if (adapter.WriteBlock(kCommandBlock, bytes)) return true;
    why = std::string(what) + " failed";
    return false;
}

bool WriteIcs9248(I2cAdapter& adapter, std::span<const uint8_t> data, uint8_t mask, std::string& why) {
    auto block = ReadWholeBlock(adapter, kIcs9248BlockBytes, why);
    if (!block) return false;
    (*block)[kIcs9248SelectIndex] = static_cast<uint8_t>(data[0] | mask);
    return Write(adapter, *block, "the block write", why) && Write(adapter, *block, "the repeated block write", why);
}

bool WriteRtm560(I2cAdapter& adapter, std::span<const uint8_t> data, uint8_t mask, std::string& why) {
    auto block = ReadWholeBlock(adapter, kRtm560BlockBytes, why);
    if (!block) return false;
    (*block)[kRtm560LastIndex] = kRtm560LastByte;
    if (!Write(adapter, *block, "the block write", why)) return false;
    for (const WordWrite& w : kRtm560WordWrites) {
        if (!adapter.WriteWord(w.command, w.word)) {
            why = "the word write to command " + HexText(w.command, 2) + " failed";
            return false;
        }
    }
    return Write(adapter, Masked(data, mask), "the select write", why);
}

}  // namespace

bool RunAdapterWrite(I2cAdapter& adapter, SmbusVariant variant, uint8_t firstByteMask, std::span<const uint8_t> data,
                     std::string& why) {
    if (data.empty() || data.size() > smbus::kBlockBufferSize) {
        why = "a block of " + std::to_string(data.size()) + " bytes";
        return false;
    }
    switch (variant) {
        case SmbusVariant::BlockBuffered:
        case SmbusVariant::BlockByteWise: return Write(adapter, Masked(data, firstByteMask), "the block write", why);
        case SmbusVariant::Ics9248: return WriteIcs9248(adapter, data, firstByteMask, why);
        case SmbusVariant::Rtm560: return WriteRtm560(adapter, data, firstByteMask, why);
    }
    why = "unknown sequence";
    return false;
}

}  // namespace vc::helper
