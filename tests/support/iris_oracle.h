// Test oracle for the drawn iris: a plain pixel-by-pixel scan of the blade geometry, nothing skipped.
#pragma once

#include <cstdint>
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

// Scans every pixel of the rows asked for (all rows when rows is empty) and keeps each value change
// above 0.0001, as the geometry defines them. Rows are independent, so a few rows of a huge iris
// can be checked without scanning all of it.
Iris_Scan scan_iris(const Iris_Oracle_Settings& settings, const std::vector<int32_t>& rows = {});

// The image a row-by-row accumulation of the scan gives in a width × height layer centred on the
// iris: values up to and including the last change of a row, zero after it.
std::vector<double> render_scan(const Iris_Scan& scan, int64_t width, int64_t height);

}  // namespace nb::test
