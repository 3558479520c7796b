// The 16-byte text fields of the records (BIOS string, chip name): a string
// that must end inside its field. Helpers here never read past the field.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace vc {

inline constexpr int kTextFieldSize = 16;  // biosId, clockGenName, chip name

using TextField = char[kTextFieldSize];

// Length up to the terminator, or the whole field when it has none.
inline size_t FieldLength(const TextField& field) {
    const void* end = std::memchr(field, '\0', kTextFieldSize);
    return end == nullptr ? kTextFieldSize
                          : static_cast<size_t>(static_cast<const char*>(end) - field);
}

inline bool FieldTerminated(const TextField& field) { return FieldLength(field) < kTextFieldSize; }

inline std::string FieldText(const TextField& field) { return std::string(field, FieldLength(field)); }

// Text comparison that stops at a terminator or at the end of the field.
inline bool FieldsEqual(const TextField& a, const TextField& b) {
    return std::strncmp(a, b, kTextFieldSize) == 0;
}

// Copies `text` and zero-fills the rest; false (field zeroed) when it does
// not fit with its terminator.
inline bool SetField(TextField& field, const std::string& text) {
    std::memset(field, 0, kTextFieldSize);
    if (text.size() >= static_cast<size_t>(kTextFieldSize)) return false;
    std::memcpy(field, text.data(), text.size());
    return true;
}

}  // namespace vc
