// The two window outlines: their size, closure, the corners and humps the
// faces are drawn around, and stair steps that follow pixel edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/ui/outlines.h"

namespace {

using vc::ui::OutlineVertex;

std::vector<OutlineVertex> Copy(std::span<const OutlineVertex> s) { return {s.begin(), s.end()}; }

// Index of the first occurrence of `v` at or after `from`, or -1.
long Find(const std::vector<OutlineVertex>& p, OutlineVertex v, size_t from = 0) {
    const auto it = std::find(p.begin() + static_cast<long>(from), p.end(), v);
    return it == p.end() ? -1 : it - p.begin();
}

// The named points appear in this order along the outline.
void ExpectInOrder(const std::vector<OutlineVertex>& p, std::initializer_list<OutlineVertex> points) {
    size_t from = 0;
    for (const OutlineVertex v : points) {
        const long at = Find(p, v, from);
        ASSERT_GE(at, 0) << "(" << v.x << ", " << v.y << ") missing or out of order";
        from = static_cast<size_t>(at);
    }
}

TEST(Outlines, CountsAndClosure) {
    const auto easy = vc::ui::EasyOutline();
    const auto advance = vc::ui::AdvanceOutline();
    EXPECT_EQ(easy.size(), 114u);
    EXPECT_EQ(advance.size(), 307u);
    EXPECT_EQ(easy.front(), easy.back());
    EXPECT_EQ(advance.front(), advance.back());
    EXPECT_EQ(easy.front(), (OutlineVertex{0, 126}));
    EXPECT_EQ(advance.front(), (OutlineVertex{3, 129}));
}

TEST(Outlines, LayoutCodeOneIsEasyEveryOtherAdvance) {
    EXPECT_EQ(vc::ui::OutlineForLayout(1).data(), vc::ui::EasyOutline().data());
    for (int code : {2, 0, -1, 3}) EXPECT_EQ(vc::ui::OutlineForLayout(code).data(), vc::ui::AdvanceOutline().data());
}

TEST(Outlines, EasyCornersAndHumps) {
    const auto p = Copy(vc::ui::EasyOutline());
    ExpectInOrder(p, {{0, 126}, {31, 115}, {49, 115}, {77, 127}, {403, 127}, {440, 110}, {450, 110},
                      {525, 126}, {525, 215}, {0, 215}});
    // (77, 127) and (403, 127) are joined by one straight edge.
    EXPECT_EQ(Find(p, {403, 127}), Find(p, {77, 127}) + 1);
    // The left hump peaks at row 115 only between x 31 and 49; the right at 110 between 440 and 450.
    for (const auto& v : p) {
        if (v.x < 77) {
            EXPECT_GE(v.y, 115);
        }
        if (v.y == 115 && v.x < 77) {
            EXPECT_TRUE(v.x >= 31 && v.x <= 49) << v.x;
        }
        EXPECT_GE(v.y, 110);
        if (v.y == 110) {
            EXPECT_TRUE(v.x >= 440 && v.x <= 450) << v.x;
        }
        EXPECT_TRUE(v.x >= 0 && v.x <= 525 && v.y <= 215) << v.x << "," << v.y;
    }
}

TEST(Outlines, EasyLeftHumpClimbsInOnePixelStairs) {
    const auto p = Copy(vc::ui::EasyOutline());
    for (size_t i = 1; i < p.size(); ++i) {
        if (p[i].x > 77 || p[i - 1].x > 77 || p[i].x != p[i - 1].x || p[i].y == 215 || p[i - 1].y == 215) continue;
        EXPECT_EQ(std::abs(p[i].y - p[i - 1].y), 1) << "at x " << p[i].x;
    }
}

TEST(Outlines, AdvanceCornersTopAndNotch) {
    const auto p = Copy(vc::ui::AdvanceOutline());
    ExpectInOrder(p, {{3, 129}, {112, 3}, {365, 3}, {375, 7}, {365, 3}, {376, 8}, {524, 128}, {528, 128},
                      {522, 128}, {522, 212}, {3, 212}, {3, 129}});
    // The flat top is one edge, the notch's return sits between (375, 7) and (376, 8).
    const long top = Find(p, {112, 3});
    EXPECT_EQ(p[static_cast<size_t>(top + 1)], (OutlineVertex{365, 3}));
    const long notch = Find(p, {375, 7});
    EXPECT_EQ(p[static_cast<size_t>(notch + 1)], (OutlineVertex{365, 3}));
    EXPECT_EQ(p[static_cast<size_t>(notch + 2)], (OutlineVertex{376, 8}));
    // The tail after the right shoulder is exactly the five fixed corners.
    const size_t n = p.size();
    EXPECT_EQ(p[n - 6], (OutlineVertex{524, 128}));
    // Nothing rises above the flat top, and the top is only between 112 and 365.
    for (const auto& v : p) {
        EXPECT_GE(v.y, 3);
        if (v.y == 3) {
            EXPECT_TRUE(v.x >= 112 && v.x <= 365) << v.x;
        }
    }
}

TEST(Outlines, EveryEdgeButTheNotchFollowsPixelEdges) {
    for (const auto outline : {vc::ui::OutlineForLayout(1), vc::ui::OutlineForLayout(2)}) {
        const auto p = Copy(outline);
        size_t diagonal = 0;
        for (size_t i = 1; i < p.size(); ++i) {
            const bool straight = p[i].x == p[i - 1].x || p[i].y == p[i - 1].y;
            if (!straight) {
                ++diagonal;
                EXPECT_TRUE(p[i] == (OutlineVertex{365, 3}) || p[i - 1] == (OutlineVertex{365, 3}))
                    << "diagonal edge at (" << p[i].x << ", " << p[i].y << ")";
            }
        }
        EXPECT_EQ(diagonal, outline.size() == 307 ? 2u : 0u);
    }
}

}  // namespace
