// Little-endian fields of every fixed binary layout (driver request buffers,
// data and state files, bitmaps), written and read byte by byte so a layout
// never depends on the host's byte order. GetLe/PutLe work at an offset the
// caller has checked; ByteReader and ByteWriter walk a buffer field by
// field, and every read checks the remaining length first, so a short or
// hostile buffer is never read past its end.
#pragma once

#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <vector>

namespace vc {

// Every layout holds 32-bit integers and IEEE doubles of 8 bytes; both are
// the same on i386 and amd64 (only their alignment in a struct differs,
// which no layout depends on: fields are read and written one by one).
inline constexpr size_t kI32Bytes = sizeof(int32_t);
inline constexpr size_t kF64Bytes = sizeof(double);
static_assert(kI32Bytes == 4 && kF64Bytes == 8 && std::numeric_limits<double>::is_iec559);

template <std::unsigned_integral T>
constexpr T GetLe(std::span<const uint8_t> bytes, size_t offset) {
    T value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) value = static_cast<T>(value | T{bytes[offset + i]} << (8 * i));
    return value;
}

template <std::unsigned_integral T>
constexpr void PutLe(std::span<uint8_t> bytes, size_t offset, T value) {
    for (size_t i = 0; i < sizeof(T); ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t GetLe32(std::span<const uint8_t> bytes, size_t offset) { return GetLe<uint32_t>(bytes, offset); }
inline void PutLe32(std::span<uint8_t> bytes, size_t offset, uint32_t value) { PutLe(bytes, offset, value); }
inline double GetLeF64(std::span<const uint8_t> bytes, size_t offset) {
    return std::bit_cast<double>(GetLe<uint64_t>(bytes, offset));
}

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t Remaining() const { return bytes_.size() - position_; }
    size_t Position() const { return position_; }

    bool ReadU16(uint16_t& value) { return Read(value); }
    bool ReadU32(uint32_t& value) { return Read(value); }
    bool ReadI32(int32_t& value) {
        uint32_t raw = 0;
        if (!Read(raw)) return false;
        value = static_cast<int32_t>(raw);
        return true;
    }
    bool ReadF64(double& value) {
        uint64_t raw = 0;
        if (!Read(raw)) return false;
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
    template <std::unsigned_integral T>
    bool Read(T& value) {
        if (Remaining() < sizeof(T)) return false;
        value = GetLe<T>(bytes_, position_);
        position_ += sizeof(T);
        return true;
    }

    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

    void PutU16(uint16_t value) { Put(value); }
    void PutU32(uint32_t value) { Put(value); }
    void PutI32(int32_t value) { Put(static_cast<uint32_t>(value)); }
    void PutF64(double value) { Put(std::bit_cast<uint64_t>(value)); }
    void PutBytes(const void* source, size_t count) {
        const auto* bytes = static_cast<const uint8_t*>(source);
        out_.insert(out_.end(), bytes, bytes + count);
    }
    void PutZeros(size_t count) { out_.insert(out_.end(), count, uint8_t{0}); }

private:
    template <std::unsigned_integral T>
    void Put(T value) {
        // Byte by byte: growing the vector first and writing into its tail
        // trips GCC 12's bounds warnings at -O3 on i386.
        for (size_t i = 0; i < sizeof(T); ++i) out_.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }

    std::vector<uint8_t>& out_;
};

}  // namespace vc
