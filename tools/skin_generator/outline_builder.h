// Builds the two window outlines from the profiles of the faces' top edges.
// The same polygons cut the background pictures (odd-even rule, pixel
// centres) and are written out as the core's vertex tables, so the pictures
// and the tables come from one place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skin {

struct Vertex {
    int32_t x;
    int32_t y;
};

using Polygon = std::vector<Vertex>;

Polygon BuildEasyOutline();
Polygon BuildAdvanceOutline();

// Odd-even test of the centre of pixel (x, y), in exact integer arithmetic:
// a centre lying on an edge counts as outside that edge's crossing.
bool CoversPixel(const Polygon& polygon, int32_t x, int32_t y);

// The C++ source of the core's vertex tables.
std::string OutlineSource(const Polygon& easy, const Polygon& advance);

}  // namespace skin
