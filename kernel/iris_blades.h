// One iris outline: the intersection of the blades' discs, its anti-aliased coverage and its row extents.
#pragma once

#include <cstdint>
#include <vector>

namespace nb {

// Unit directions of the blades, (sin θ_i, cos θ_i) with y counting rows downwards. Empty for a circle.
struct Blade_Directions {
    std::vector<double> sin;
    std::vector<double> cos;
};

// θ_i = i·2π/N + angle for N = min(facets, 1000) blades; facets below 1 give no blades (a circle).
Blade_Directions blade_directions(int32_t facets, double angle);

// Pixels first..last of one row (x relative to the iris centre); empty when first > last.
struct Pixel_Run {
    int32_t first = 1;
    int32_t last = 0;

    bool contains(int32_t x) const { return first <= x && x <= last; }
};

// The shape lives in the squeezed plane (x, y / q): callers pass rows already divided by q.
// Every blade is a disc of radius R around -c·direction; a straight blade is a disc so large that its
// arc bulges 0.001 pixel, and as rounded approaches 1 the discs approach the circle of radius r.
class Iris_Blades {
public:
    // r: nominal radius (vertex distance) in pixels; rounded: bulge 0..1, above 0.999 acts as 0.999;
    // q: vertical squeeze. Without directions the shape is the circle of radius r.
    Iris_Blades(double r, double rounded, double q, const Blade_Directions& directions);

    // Anti-aliased coverage 0..1 of the pixel centred at (x, y): the distance inside the shape divided by
    // the length of the distance's gradient in real pixels, so the edge ramp is one pixel wide.
    double coverage(double x, double y) const;

    // Pixels outside this run have coverage exactly 0.
    Pixel_Run possibly_covered(double y, int32_t n) const;
    // Pixels inside this run have coverage exactly 1.
    Pixel_Run wholly_covered(double y, int32_t n) const;

    double arc_radius() const { return arc_radius_; }

private:
    Pixel_Run inside_all_discs(double y, double radius, int32_t n, bool strict) const;

    double arc_radius_ = 0.0;
    double q_ = 1.0;
    // Largest possible gradient length: 1/q when q < 1, else 1. Pixels this far inside every disc
    // (plus a pixel for rounding) are certainly fully covered.
    double gradient_bound_ = 1.0;
    std::vector<double> centre_x_;
    std::vector<double> centre_y_;
};

}  // namespace nb
