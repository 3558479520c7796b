// Where vcctl's text goes: standard output or error through <cstdio>, or a
// string the tests read. It takes what vcctl prints (text, characters and
// integers) and no more, so the program links no iostreams: on Windows they
// import functions that 98 and NT 4 lack.
#pragma once

#include <concepts>
#include <cstdio>
#include <string>
#include <string_view>

namespace vc::cli {

class TextOut {
public:
    // Collects the text (Text()).
    TextOut() = default;
    explicit TextOut(std::FILE* file) : file_(file) {}

    TextOut& operator<<(std::string_view text);
    TextOut& operator<<(char c) { return *this << std::string_view(&c, 1); }
    template <std::integral T>
        requires(!std::same_as<T, char> && !std::same_as<T, bool>)
    TextOut& operator<<(T value) {
        return *this << std::string_view(std::to_string(value));
    }

    // Hands what was written to the system now (a reader may be waiting).
    void Flush();
    const std::string& Text() const { return text_; }
    void Clear() { text_.clear(); }

private:
    std::FILE* file_ = nullptr;
    std::string text_;
};

}  // namespace vc::cli
