// The drawn iris as per-row value changes: built once from the blade geometry, read by the drawing rows.
#pragma once

#include <cstdint>
#include <memory>

#include "util/memory.h"
#include "util/render_context.h"

namespace nb {

// The iris settings the geometry needs, in the units of the drawing kernel's record, together with
// the target layer's pixel aspect and resolution factors.
struct Lens_Settings {
    float radius = 0.0f;             // full-resolution pixels; negative draws nothing
    float rounded = 0.0f;            // blade bulge 0..1; above 0.999 acts as 0.999
    float border_thickness = 0.0f;   // fraction of the radius
    float border_brightness = 0.0f;  // relative border brightness; 0: no border
    float aspect = 0.0f;             // 0 round, positive wider, negative taller
    float angle = 0.0f;              // radians
    int32_t facets = 0;              // blades; above 1000 acts as 1000, below 1 draws the circle
    float pixel_aspect = 1.0f;
    float horizontal_factor = 1.0f;
    float vertical_factor = 1.0f;
};

// One change along a row: from pixel x (relative to the iris centre) on, the value is larger by
// value_change. coverage_change is the same for the plain coverage, without the border's shading.
struct Lens_Event {
    float value_change;
    float coverage_change;
    int32_t x;
};

// Rows y = -m..m relative to the iris centre. Row y has row_count[m + y] events starting at
// events[row_start[m + y]], in increasing x; then, when it has exactly one, a copy with both changes
// negated; then a terminator at x = end_of_row. Rows without events still have their terminator.
// All of it lives in storage; copies share it, and it is freed when the last copy is gone.
// Read-only once built, so any number of threads may read one concurrently.
struct LensInformation {
    static constexpr int32_t end_of_row = 0x3fffffff;

    // Builds from the settings on the calling thread, with storage from context.allocate_memory.
    // The events get one block of 24·k + 12 (44·k + 22 with a border) for k = max(m, n): the changes
    // lie along the outlines, about one per outline pixel, so every shape stays well below it.
    // Settings that describe no drawable iris (negative or non-finite values) give an empty one.
    // Throws Exception_Assert when the iris is too large to index with 32-bit positions.
    static LensInformation build(const Lens_Settings& settings, const Render_Context& context);

    bool has_row(int64_t y) const { return first_row <= y && y <= last_row; }

    const Lens_Event* events = nullptr;
    const int32_t* row_count = nullptr;
    const int32_t* row_start = nullptr;
    int32_t first_row = 1;  // first_row > last_row: no row has an event
    int32_t last_row = 0;
    int32_t m = 0;
    int64_t stored = 0;  // records in events, the extra copies and terminators included
    std::shared_ptr<Mapped_Memory> storage;
};

}  // namespace nb
