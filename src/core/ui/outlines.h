// The main window's two outlines, polygons in client coordinates turned into
// the window's visible shape with the odd-even rule. The vertex tables are
// produced by the skin generator together with the background pictures whose
// edges they trace (outlines.cpp is its output), so the two never disagree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vc::ui {

struct OutlineVertex {
    int32_t x;
    int32_t y;
    bool operator==(const OutlineVertex&) const = default;
};

inline constexpr size_t kEasyOutlineVertexCount = 114;
inline constexpr size_t kAdvanceOutlineVertexCount = 307;

// Both polygons end by repeating their first vertex.
std::span<const OutlineVertex, kEasyOutlineVertexCount> EasyOutline();
std::span<const OutlineVertex, kAdvanceOutlineVertexCount> AdvanceOutline();

// The outline for a layout code: 1 is Easy, every other code Advance.
std::span<const OutlineVertex> OutlineForLayout(int32_t layoutCode);

}  // namespace vc::ui
