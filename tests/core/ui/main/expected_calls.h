// Building blocks of expected call logs.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "recording_main_shell.h"

namespace vc::ui::test {

using Calls = std::vector<std::string>;

inline Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline std::string Invalidated(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return "invalidate " + RectText(Rect{left, top, right, bottom}) + " erase";
}

// A button's rectangle as its own Invalidate asks for it.
inline std::string ButtonInvalidated(int32_t x, int32_t y, int32_t w, int32_t h) {
    return "invalidate " + RectText(RectAt(x, y, w, h)) + " erase";
}

inline Calls FourDisplays() {
    return {Invalidated(58, 160, 158, 205), Invalidated(256, 83, 370, 115), Invalidated(178, 149, 226, 169),
            Invalidated(177, 185, 225, 205)};
}

inline Calls Each(const std::string& verb, std::initializer_list<int> ids) {
    Calls calls;
    for (int id : ids) calls.push_back(verb + " " + std::to_string(id));
    return calls;
}

inline Calls Repeat(const std::string& line, int times) { return Calls(static_cast<size_t>(times), line); }

}  // namespace vc::ui::test
