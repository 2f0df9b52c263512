// One iris outline: blade discs, anti-aliased coverage and the row runs of certain coverage.
#include "kernel/iris_blades.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace nb {

namespace {

constexpr int32_t max_blades = 1000;

}  // namespace

Blade_Directions blade_directions(int32_t facets, double angle) {
    Blade_Directions directions;
    if (facets < 1) return directions;
    const int32_t count = std::min(facets, max_blades);
    directions.sin.resize(static_cast<size_t>(count));
    directions.cos.resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const double theta = i * 2.0 * std::numbers::pi / count + angle;
        directions.sin[static_cast<size_t>(i)] = std::sin(theta);
        directions.cos[static_cast<size_t>(i)] = std::cos(theta);
    }
    return directions;
}

Iris_Blades::Iris_Blades(double r, double rounded, double q, const Blade_Directions& directions)
    : q_(q), gradient_bound_(q < 1.0 ? 1.0 / q : 1.0) {
    const size_t count = directions.sin.size();
    if (count == 0) {
        arc_radius_ = r;
        centre_x_.assign(1, 0.0);
        centre_y_.assign(1, 0.0);
        return;
    }
    // The arc of each blade passes through the two vertices at distance r (half chord h, apothem a)
    // and bulges t beyond the chord; a zero bulge would make the arc radius infinite.
    const double half_angle = std::numbers::pi / static_cast<double>(count);
    const double a = r * std::cos(half_angle);
    const double h = r * std::sin(half_angle);
    double t = (r - a) * std::min(rounded, 0.999);
    if (t == 0.0) t = 0.001;
    arc_radius_ = std::max(r, (t * t + h * h) / (2.0 * t));
    const double c = arc_radius_ - a - t;
    centre_x_.resize(count);
    centre_y_.resize(count);
    for (size_t i = 0; i < count; ++i) {
        centre_x_[i] = -c * directions.sin[i];
        centre_y_[i] = -c * directions.cos[i];
    }
}

double Iris_Blades::coverage(double x, double y) const {
    double d = std::numeric_limits<double>::infinity();
    double to_x = 0.0, to_y = 0.0, distance = 0.0;
    for (size_t i = 0; i < centre_x_.size(); ++i) {
        const double dx = x - centre_x_[i];
        const double dy = y - centre_y_[i];
        const double dist = std::sqrt(dx * dx + dy * dy);
        const double term = arc_radius_ - dist;
        if (term <= 0.0) return 0.0;
        if (term < d) {
            d = term;
            to_x = dx;
            to_y = dy;
            distance = dist;
        }
    }
    // A pixel on a disc centre has no direction; any unit vector serves, the horizontal one is cheapest.
    const double gx = distance > 0.0 ? to_x / distance : 1.0;
    const double gy = distance > 0.0 ? to_y / distance : 0.0;
    const double g = std::sqrt(gx * gx + gy * gy / (q_ * q_));
    if (d > g) return 1.0;
    return d / g;
}

Pixel_Run Iris_Blades::possibly_covered(double y, int32_t n) const {
    return inside_all_discs(y, arc_radius_ + 1.0, n, false);
}

Pixel_Run Iris_Blades::wholly_covered(double y, int32_t n) const {
    return inside_all_discs(y, arc_radius_ - 1.0 - gradient_bound_, n, true);
}

// The row meets each enlarged or shrunken disc in one chord; the shape's run is their intersection.
// The margin of one pixel between these radii and the true one absorbs every rounding difference
// between the chord ends and the per-pixel distances, so both runs are safe for exact skipping.
Pixel_Run Iris_Blades::inside_all_discs(double y, double radius, int32_t n, bool strict) const {
    Pixel_Run run;
    if (!(radius > 0.0)) return run;
    double low = -static_cast<double>(n) - 1.0;
    double high = static_cast<double>(n) + 1.0;
    for (size_t i = 0; i < centre_x_.size(); ++i) {
        const double dy = std::fabs(y - centre_y_[i]);
        if (!(dy < radius)) return run;
        // (radius - dy)·(radius + dy) keeps its precision where radius² - dy² would cancel.
        const double half = std::sqrt((radius - dy) * (radius + dy));
        low = std::max(low, centre_x_[i] - half);
        high = std::min(high, centre_x_[i] + half);
        if (!(low < high)) return run;
    }
    run.first = static_cast<int32_t>(strict ? std::floor(low) + 1.0 : std::ceil(low));
    run.last = static_cast<int32_t>(strict ? std::ceil(high) - 1.0 : std::floor(high));
    return run;
}

}  // namespace nb
