#include "outline_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace skin {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Horizontal position (0..1) at which a stair profile has made `progress`
// (0..1) of its vertical travel.
enum class Ease {
    Cosine,      // gentle at both ends: shoulders and humps
    DomeRise,    // steep first, flat last: the left flank of a rounded top
    DomeFall,    // flat first, steep last: the right flank
};

double PositionFor(Ease ease, double progress) {
    switch (ease) {
        case Ease::Cosine: return std::acos(1.0 - 2.0 * progress) / kPi;
        case Ease::DomeRise: return 1.0 - std::sqrt(1.0 - progress * progress);
        case Ease::DomeFall: return std::sqrt(1.0 - (1.0 - progress) * (1.0 - progress));
    }
    return progress;
}

// One change of the top edge: from column x on, the first covered row is `level`.
struct Change {
    int32_t x;
    int32_t level;
};

struct StairRun {
    int32_t firstColumn;  // earliest column a change may sit in
    int32_t lastColumn;   // the last change sits exactly here
    bool pinFirst;        // the first change sits exactly at firstColumn
    int32_t fromLevel;
    int32_t toLevel;
    int32_t changes;
    Ease ease;
};

// `changes` steps of one or two rows each, spread along the run by its ease.
void AddStairs(std::vector<Change>& out, const StairRun& run) {
    const int32_t travel = run.toLevel - run.fromLevel;
    const int32_t n = run.changes;
    if (n <= 0 || std::abs(travel) < n || std::abs(travel) > 2 * n ||
        run.lastColumn - run.firstColumn + 1 < n) {
        throw std::logic_error("stair run cannot hold its changes");
    }
    std::vector<Change> steps;
    int32_t previous = run.fromLevel;
    const double span = run.lastColumn - run.firstColumn;
    for (int32_t k = 1; k <= n; ++k) {
        const int32_t level =
            run.fromLevel + static_cast<int32_t>(std::lround(double(travel) * k / n));
        const double middle = (double(previous + level) / 2.0 - run.fromLevel) / travel;
        const int32_t x =
            run.firstColumn + static_cast<int32_t>(std::lround(span * PositionFor(run.ease, middle)));
        steps.push_back({x, level});
        previous = level;
    }
    if (run.pinFirst) steps.front().x = run.firstColumn;
    steps.back().x = run.lastColumn;
    // Distinct columns: push forward, then pull back from the pinned end.
    for (size_t i = 1; i < steps.size(); ++i) steps[i].x = std::max(steps[i].x, steps[i - 1].x + 1);
    steps.back().x = run.lastColumn;
    for (size_t i = steps.size() - 1; i-- > 0;) steps[i].x = std::min(steps[i].x, steps[i + 1].x - 1);
    if (steps.front().x < run.firstColumn || (run.pinFirst && steps.front().x != run.firstColumn)) {
        throw std::logic_error("stair run too narrow");
    }
    out.insert(out.end(), steps.begin(), steps.end());
}

// Start vertex, then two vertices per change: (x, old level), (x, new level).
Polygon TraceTop(Vertex start, const std::vector<Change>& changes) {
    Polygon polygon{start};
    int32_t level = start.y;
    int32_t column = start.x;
    for (const Change& change : changes) {
        if (change.x <= column && polygon.size() > 1) throw std::logic_error("changes out of order");
        polygon.push_back({change.x, level});
        polygon.push_back({change.x, change.level});
        level = change.level;
        column = change.x;
    }
    return polygon;
}

}  // namespace

Polygon BuildEasyOutline() {
    std::vector<Change> changes;
    // Left hump over the options button, one-pixel stairs up to row 115.
    AddStairs(changes, {1, 31, false, 126, 115, 11, Ease::Cosine});
    AddStairs(changes, {49, 77, true, 115, 127, 12, Ease::Cosine});
    // Right hump over the POWER lamp, up to row 110.
    AddStairs(changes, {403, 440, true, 127, 110, 16, Ease::Cosine});
    AddStairs(changes, {450, 525, true, 110, 126, 16, Ease::Cosine});
    Polygon polygon = TraceTop({0, 126}, changes);
    polygon.push_back({525, 215});
    polygon.push_back({0, 215});
    polygon.push_back(polygon.front());
    return polygon;
}

Polygon BuildAdvanceOutline() {
    std::vector<Change> changes;
    AddStairs(changes, {4, 35, false, 129, 114, 15, Ease::Cosine});     // left shoulder
    AddStairs(changes, {36, 112, false, 114, 3, 59, Ease::DomeRise});  // left flank
    // The right flank's rounded corner, laid by hand so that the steps at
    // columns 375 and 376 meet the notch that returns to (365, 3).
    const std::vector<Change> corner{{365, 4}, {368, 5}, {372, 6}, {375, 7}, {376, 8}};
    changes.insert(changes.end(), corner.begin(), corner.end());
    AddStairs(changes, {377, 450, false, 8, 109, 52, Ease::DomeFall});   // right flank
    AddStairs(changes, {451, 523, false, 109, 128, 19, Ease::Cosine});   // right shoulder
    Polygon polygon = TraceTop({3, 129}, changes);
    // The notch: between (375, 7) and (376, 8) the edge goes back to (365, 3).
    for (size_t i = 1; i + 1 < polygon.size(); ++i) {
        if (polygon[i - 1].x == 375 && polygon[i - 1].y == 7 && polygon[i].x == 376 &&
            polygon[i].y == 7 && polygon[i + 1].x == 376 && polygon[i + 1].y == 8) {
            polygon[i] = {365, 3};
        }
    }
    for (const Vertex v : {Vertex{524, 128}, Vertex{528, 128}, Vertex{522, 128}, Vertex{522, 212},
                           Vertex{3, 212}}) {
        polygon.push_back(v);
    }
    polygon.push_back(polygon.front());
    return polygon;
}

bool CoversPixel(const Polygon& polygon, int32_t x, int32_t y) {
    // Doubled coordinates put the pixel centre on the integer grid.
    const int64_t px = 2 * int64_t{x} + 1;
    const int64_t py = 2 * int64_t{y} + 1;
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const int64_t xi = 2 * int64_t{polygon[i].x}, yi = 2 * int64_t{polygon[i].y};
        const int64_t xj = 2 * int64_t{polygon[j].x}, yj = 2 * int64_t{polygon[j].y};
        if ((yi > py) == (yj > py)) continue;
        // Crossing to the right of the centre: px < xi + (py - yi)(xj - xi)/(yj - yi).
        const int64_t lhs = (px - xi) * (yj - yi);
        const int64_t rhs = (py - yi) * (xj - xi);
        if ((yj > yi) ? (lhs < rhs) : (lhs > rhs)) inside = !inside;
    }
    return inside;
}

namespace {

void AppendTable(std::string& out, const char* name, const Polygon& polygon) {
    char line[96];
    std::snprintf(line, sizeof line, "constexpr std::array<OutlineVertex, %zu> %s{{\n",
                  polygon.size(), name);
    out += line;
    for (size_t i = 0; i < polygon.size(); ++i) {
        if (i % 8 == 0) out += "   ";
        std::snprintf(line, sizeof line, " {%d, %d},", polygon[i].x, polygon[i].y);
        out += line;
        if (i % 8 == 7 || i + 1 == polygon.size()) out += "\n";
    }
    out += "}};\n";
}

}  // namespace

std::string OutlineSource(const Polygon& easy, const Polygon& advance) {
    std::string out =
        "// Generated by tools/skin_generator together with the background pictures\n"
        "// 109 and 136; regenerate both rather than editing by hand.\n"
        "#include \"core/ui/outlines.h\"\n\n#include <array>\n\nnamespace vc::ui {\n\n"
        "namespace {\n\n";
    AppendTable(out, "kEasy", easy);
    out += "\n";
    AppendTable(out, "kAdvance", advance);
    out +=
        "\n}  // namespace\n\n"
        "std::span<const OutlineVertex, kEasyOutlineVertexCount> EasyOutline() { return kEasy; }\n\n"
        "std::span<const OutlineVertex, kAdvanceOutlineVertexCount> AdvanceOutline() {\n"
        "    return kAdvance;\n}\n\n"
        "std::span<const OutlineVertex> OutlineForLayout(int32_t layoutCode) {\n"
        "    if (layoutCode == 1) return EasyOutline();\n    return AdvanceOutline();\n}\n\n"
        "}  // namespace vc::ui\n";
    return out;
}

}  // namespace skin
