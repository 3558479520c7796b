// Little-endian field readers and writers for the fixed binary layouts of
// the data and state files. Every read checks the remaining length first, so
// a short or hostile buffer can never be read past its end.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace vc {

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t Remaining() const { return bytes_.size() - position_; }
    size_t Position() const { return position_; }

    bool ReadU32(uint32_t& value) {
        if (Remaining() < 4) return false;
        value = 0;
        for (size_t i = 0; i < 4; ++i) {
            value |= static_cast<uint32_t>(bytes_[position_ + i]) << (8 * i);
        }
        position_ += 4;
        return true;
    }

    bool ReadI32(int32_t& value) {
        uint32_t raw = 0;
        if (!ReadU32(raw)) return false;
        value = static_cast<int32_t>(raw);
        return true;
    }

    bool ReadF64(double& value) {
        if (Remaining() < 8) return false;
        uint64_t raw = 0;
        for (size_t i = 0; i < 8; ++i) {
            raw |= static_cast<uint64_t>(bytes_[position_ + i]) << (8 * i);
        }
        position_ += 8;
        value = std::bit_cast<double>(raw);
        return true;
    }

    bool ReadBytes(void* destination, size_t count) {
        if (Remaining() < count) return false;
        if (count != 0) std::memcpy(destination, bytes_.data() + position_, count);
        position_ += count;
        return true;
    }

    bool Skip(size_t count) {
        if (Remaining() < count) return false;
        position_ += count;
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

    void PutU32(uint32_t value) {
        for (size_t i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void PutI32(int32_t value) { PutU32(static_cast<uint32_t>(value)); }
    void PutF64(double value) {
        const auto raw = std::bit_cast<uint64_t>(value);
        for (size_t i = 0; i < 8; ++i) out_.push_back(static_cast<uint8_t>(raw >> (8 * i)));
    }
    void PutBytes(const void* source, size_t count) {
        const auto* bytes = static_cast<const uint8_t*>(source);
        out_.insert(out_.end(), bytes, bytes + count);
    }
    void PutZeros(size_t count) { out_.insert(out_.end(), count, uint8_t{0}); }

private:
    std::vector<uint8_t>& out_;
};

}  // namespace vc
