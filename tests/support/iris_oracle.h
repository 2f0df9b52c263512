// Test oracle for the drawn iris: a plain pixel-by-pixel scan of the blade geometry, nothing skipped.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace nb::test {

// The iris settings as the drawing kernel receives them, with the target layer's shape.
struct Iris_Oracle_Settings {
    float radius = 0.0f;
    float rounded = 0.0f;
    float border_thickness = 0.0f;
    float border_brightness = 0.0f;
    float aspect = 0.0f;
    float angle = 0.0f;
    int32_t facets = 6;  // below 1: the circle of the radius
    float pixel_aspect = 1.0f;
    float horizontal_factor = 1.0f;
    float vertical_factor = 1.0f;
};

struct Scanned_Change {
    float value_change;
    int32_t x;  // relative to the iris centre
};

struct Iris_Scan {
    int32_t n = 0;  // columns -n..n
    int32_t m = 0;  // rows -m..m
    std::vector<std::vector<Scanned_Change>> rows;  // row y at m + y; only the scanned rows are filled
};

struct Disc {
    double x, y;
};

struct Outline {
    double radius = 0.0;
    std::vector<Disc> centres;
};

inline Outline outline(double r, const Iris_Oracle_Settings& s) {
    if (s.facets < 1) return {r, {{0.0, 0.0}}};
    Outline o;
    const int blades = std::min(s.facets, 1000);
    const double a = r * std::cos(std::numbers::pi / blades), h = r * std::sin(std::numbers::pi / blades);
    double t = (r - a) * std::min(static_cast<double>(s.rounded), 0.999);
    if (t == 0.0) t = 0.001;
    o.radius = std::max(r, (t * t + h * h) / (2.0 * t));
    const double c = o.radius - a - t;
    for (int i = 0; i < blades; ++i) {
        const double theta = i * 2.0 * std::numbers::pi / blades + static_cast<double>(s.angle);
        o.centres.push_back({-c * std::sin(theta), -c * std::cos(theta)});
    }
    return o;
}

inline double coverage(const Outline& o, double px, double py, double q) {
    // The nearest disc edge, and the direction away from that disc's centre.
    double d = INFINITY, ux = 0.0, uy = 0.0, length = 0.0;
    for (const Disc& centre : o.centres) {
        const double dx = px - centre.x, dy = py - centre.y, distance = std::sqrt(dx * dx + dy * dy);
        const double term = o.radius - distance;
        if (term <= 0.0) return 0.0;
        if (term < d) d = term, ux = dx, uy = dy, length = distance;
    }
    const double gx = length > 0.0 ? ux / length : 1.0, gy = length > 0.0 ? uy / length : 0.0;
    const double g = std::sqrt(gx * gx + gy * gy / (q * q));
    return d > g ? 1.0 : d / g;
}

// Scans every pixel of the rows asked for (all rows when rows is empty) and keeps each value change
// above 0.0001, as the geometry defines them. Rows are independent, so a few rows of a huge iris
// can be checked without scanning all of it.
inline Iris_Scan scan_iris(const Iris_Oracle_Settings& s, const std::vector<int32_t>& rows = {}) {
    Iris_Scan scan;
    const double rx = (s.aspect + 1.0) * (s.radius + 1.0) / s.pixel_aspect * s.horizontal_factor;
    const double ry = s.vertical_factor * (1.0 - s.aspect) * (s.radius + 1.0);
    const double q = std::max(0.05, rx != 0.0 ? ry / rx : ry);
    scan.n = static_cast<int32_t>(rx + 1.0);
    scan.m = static_cast<int32_t>(scan.n * q) + 1;
    scan.rows.resize(static_cast<size_t>(2 * scan.m + 1));

    const double b = s.border_brightness;
    const Outline outer = outline(rx, s);
    const Outline inner = outline((1.0 - static_cast<double>(s.border_thickness)) * rx, s);
    std::vector<int32_t> wanted = rows;
    if (wanted.empty())
        for (int32_t y = -scan.m; y <= scan.m; ++y) wanted.push_back(y);

    for (int32_t y : wanted) {
        auto& changes = scan.rows[static_cast<size_t>(scan.m + y)];
        changes.clear();  // a row asked for twice is scanned afresh
        double previous = 0.0;
        for (int32_t x = -scan.n; x <= scan.n; ++x) {
            const double co = coverage(outer, x, y / q, q), ci = b != 0.0 ? coverage(inner, x, y / q, q) : 0.0;
            double v = b == 0.0 ? co : b > 0.0 ? (1.0 - b) * ci + co - ci : ci + (1.0 + b) * (co - ci);
            v = v <= 0.001 ? 0.0 : std::min(v, 1.0);
            if (std::fabs(v - previous) > 0.0001) changes.push_back({static_cast<float>(v - previous), x});
            previous = v;
        }
    }
    return scan;
}

// The image a row-by-row accumulation of the scan gives in a width × height layer centred on the
// iris: values up to and including the last change of a row, zero after it.
inline std::vector<double> render_scan(const Iris_Scan& scan, int64_t width, int64_t height) {
    std::vector<double> image(static_cast<size_t>(width * height), 0.0);
    for (int64_t row = 0; row < height; ++row) {
        const int64_t y = row - height / 2;
        if (y < -scan.m || y > scan.m) continue;
        const auto& changes = scan.rows[static_cast<size_t>(scan.m + y)];
        if (changes.empty()) continue;
        const int64_t last = changes.back().x + width / 2;
        for (int64_t column = 0; column < width && column <= last; ++column) {
            double value = 0.0;
            for (const Scanned_Change& change : changes)
                if (change.x + width / 2 <= column) value += change.value_change;
            image[static_cast<size_t>(row * width + column)] = value;
        }
    }
    return image;
}

}  // namespace nb::test
