// Text written into a fixed buffer, for reports a privileged component
// hands back (the NT driver builds them in the kernel): nothing allocates,
// and what does not fit is cut off and said so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vc {

class ReportText {
public:
    explicit ReportText(std::span<char> buffer) : buffer_(buffer) {}

    ReportText& Put(std::string_view text) {
        for (const char c : text) PutChar(c);
        return *this;
    }
    // "0x" and at least `digits` upper-case hexadecimal digits.
    ReportText& PutHex(uint32_t value, int digits) {
        Put("0x");
        return PutDigits(value, digits, true);
    }
    // Two lower-case hexadecimal digits, as a read-back byte is listed.
    ReportText& PutByte(uint8_t value) { return PutDigits(value, 2, false); }
    // At least `digits` lower-case hexadecimal digits, no prefix (PCI names).
    ReportText& PutLowerHex(uint32_t value, int digits) { return PutDigits(value, digits, false); }
    ReportText& PutDecimal(uint32_t value) {
        char digits[10];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (n > 0) PutChar(digits[--n]);
        return *this;
    }

    size_t size() const { return size_; }
    // What the text would take had it all fitted.
    size_t wanted() const { return wanted_; }
    bool overflowed() const { return wanted_ > size_; }
    std::string_view text() const { return std::string_view(buffer_.data(), size_); }
    // Back to `size` (a line that did not fit is taken back whole).
    void Truncate(size_t size) {
        if (size < size_) size_ = size;
        wanted_ = size_;
    }

private:
    void PutChar(char c) {
        ++wanted_;
        if (size_ < buffer_.size()) buffer_[size_++] = c;
    }
    ReportText& PutDigits(uint32_t value, int digits, bool upper) {
        const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
        int count = 1;
        for (uint32_t rest = value >> 4; rest != 0; rest >>= 4) ++count;
        if (count < digits) count = digits;
        for (int shift = (count - 1) * 4; shift >= 0; shift -= 4) PutChar(set[(value >> shift) & 0xF]);
        return *this;
    }

    std::span<char> buffer_;
    size_t size_ = 0;
    size_t wanted_ = 0;
};

}  // namespace vc
