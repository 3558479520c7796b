#include "core/ui/region.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vc::ui {

namespace {

// The pixels of row y whose centres lie in [from, to).
void AddCentresBetween(std::vector<Span>& spans, int32_t y, double from, double to) {
    const double first = std::ceil(from - 0.5);
    const double end = std::ceil(to - 0.5);
    if (end > first) spans.push_back(Span{y, static_cast<int32_t>(first), static_cast<int32_t>(end)});
}

}  // namespace

Region Region::Ellipse(const Rect& box) {
    Region region;
    if (box.IsEmpty()) return region;
    const double cx = (static_cast<double>(box.left) + box.right) / 2;
    const double cy = (static_cast<double>(box.top) + box.bottom) / 2;
    const double rx = (static_cast<double>(box.right) - box.left) / 2;
    const double ry = (static_cast<double>(box.bottom) - box.top) / 2;
    for (int32_t y = box.top; y < box.bottom; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        const double reach = 1.0 - dy * dy;
        if (reach < 0) continue;
        const double half = rx * std::sqrt(reach);
        // The closing side is inclusive, so widen it by a hair.
        AddCentresBetween(region.spans_, y, cx - half, std::nextafter(cx + half, cx + half + 1));
    }
    return region;
}

Region Region::Polygon(std::span<const Point> vertices) {
    Region region;
    if (vertices.size() < 3) return region;
    int32_t top = std::numeric_limits<int32_t>::max();
    int32_t bottom = std::numeric_limits<int32_t>::min();
    for (const Point& p : vertices) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    std::vector<double> crossings;
    for (int64_t row = top; row < bottom; ++row) {
        const double centre = static_cast<double>(row) + 0.5;
        crossings.clear();
        for (size_t i = 0; i < vertices.size(); ++i) {
            const Point a = vertices[i];
            const Point b = vertices[(i + 1) % vertices.size()];
            if ((a.y <= centre) == (b.y <= centre)) continue;  // edge does not cross this row
            const double t = (centre - a.y) / (static_cast<double>(b.y) - a.y);
            crossings.push_back(a.x + t * (static_cast<double>(b.x) - a.x));
        }
        std::sort(crossings.begin(), crossings.end());
        const auto y = static_cast<int32_t>(row);
        const size_t firstSpan = region.spans_.size();
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            AddCentresBetween(region.spans_, y, crossings[i], crossings[i + 1]);
        }
        // Runs of one row may touch (a vertex on the row); join them.
        auto rowBegin = region.spans_.begin() + static_cast<std::ptrdiff_t>(firstSpan);
        auto out = rowBegin;
        for (auto it = rowBegin; it != region.spans_.end(); ++it) {
            if (out != rowBegin && (out - 1)->right >= it->left) {
                (out - 1)->right = std::max((out - 1)->right, it->right);
            } else {
                *out++ = *it;
            }
        }
        region.spans_.erase(out, region.spans_.end());
    }
    return region;
}

Region Region::ClippedTo(const Rect& box) const {
    Region clipped;
    for (const Span& span : spans_) {
        if (span.y < box.top || span.y >= box.bottom) continue;
        const Span cut{span.y, std::max(span.left, box.left), std::min(span.right, box.right)};
        if (cut.right > cut.left) clipped.spans_.push_back(cut);
    }
    return clipped;
}

bool Region::Contains(int32_t x, int32_t y) const {
    return std::any_of(spans_.begin(), spans_.end(),
                       [&](const Span& s) { return s.y == y && s.left <= x && x < s.right; });
}

Rect Region::Bounds() const {
    if (spans_.empty()) return Rect{0, 0, 0, 0};
    Rect bounds{spans_.front().left, spans_.front().y, spans_.front().right, spans_.back().y + 1};
    for (const Span& s : spans_) {
        bounds.left = std::min(bounds.left, s.left);
        bounds.right = std::max(bounds.right, s.right);
    }
    return bounds;
}

int64_t Region::PixelCount() const {
    int64_t count = 0;
    for (const Span& s : spans_) count += int64_t{s.right} - s.left;
    return count;
}

Region Region::Frame() const {
    Region frame;
    const Rect b = Bounds();
    if (b.IsEmpty()) return frame;
    // A mask with a one-pixel border of outside all round.
    const int64_t w = int64_t{b.Width()} + 2;
    const int64_t h = int64_t{b.Height()} + 2;
    std::vector<uint8_t> inside(static_cast<size_t>(w * h), 0);
    auto at = [&](int64_t x, int64_t y) -> uint8_t& {
        return inside[static_cast<size_t>((y - b.top + 1) * w + (x - b.left + 1))];
    };
    for (const Span& s : spans_) {
        for (int32_t x = s.left; x < s.right; ++x) at(x, s.y) = 1;
    }
    for (const Span& s : spans_) {
        for (int32_t x = s.left; x < s.right; ++x) {
            const bool edge = !at(x - 1, s.y) || !at(x + 1, s.y) || !at(x, s.y - 1) || !at(x, s.y + 1);
            if (!edge) continue;
            if (!frame.spans_.empty() && frame.spans_.back().y == s.y && frame.spans_.back().right == x) {
                ++frame.spans_.back().right;
            } else {
                frame.spans_.push_back(Span{s.y, x, x + 1});
            }
        }
    }
    return frame;
}

}  // namespace vc::ui
