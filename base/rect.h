// Pixel rectangles inside the plug-in: four signed 64-bit edges, converted from and to the host's at the boundary.
#pragma once

#include <algorithm>
#include <cstdint>

namespace nb {

// Edges in frame pixels at the current resolution; right and bottom lie one past the last pixel, so a
// rectangle with right <= left or bottom <= top holds no pixel. The field order is the plug-in's own
// (left, right, top, bottom), not the host's.
struct Rect {
    int64_t left = 0;
    int64_t right = 0;
    int64_t top = 0;
    int64_t bottom = 0;

    bool operator==(const Rect&) const = default;
    bool empty() const { return right <= left || bottom <= top; }
};

// dx more on the left and on the right, dy more at the top and at the bottom.
constexpr Rect grown(const Rect& r, int64_t dx, int64_t dy) {
    return Rect{r.left - dx, r.right + dx, r.top - dy, r.bottom + dy};
}

// Each edge pulled inside bounds on its own; an edge pushed past its opposite drags that one along, so
// a rectangle outside bounds collapses to an empty one on the edge of bounds nearest to it.
constexpr Rect clamped_into(const Rect& r, const Rect& bounds) {
    Rect c = r;
    c.left = std::max(c.left, bounds.left);
    c.right = std::max(c.right, c.left);
    c.right = std::min(c.right, bounds.right);
    c.left = std::min(c.left, c.right);
    c.top = std::max(c.top, bounds.top);
    c.bottom = std::max(c.bottom, c.top);
    c.bottom = std::min(c.bottom, bounds.bottom);
    c.top = std::min(c.top, c.bottom);
    return c;
}

}  // namespace nb
