// Direct spatial convolution in double with a drawn iris: the reference for the defocus kernel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nb::test {

struct Rgba_D {
    double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
};

// Pixels in unit scale (white 1.0), row by row, placed at (x, y) in the frame.
struct Oracle_Image {
    int64_t width = 0, height = 0, x = 0, y = 0;
    bool premultiplied = true;
    std::vector<Rgba_D> pixels;
    const Rgba_D& at(int64_t column, int64_t row) const { return pixels[static_cast<size_t>(row * width + column)]; }
};

// The drawn iris with its centre at (width / 2, height / 2); a gray iris holds its value in r.
struct Oracle_Iris {
    int64_t width = 0, height = 0;
    bool gray = true;
    std::vector<Rgba_D> pixels;
};

struct Defocus_Oracle_Settings {
    int outside_horizontal = 0;  // 0 nearest edge pixel, 1 mirrored, 2 repeated, else the colour
    int outside_vertical = 0;
    Rgba_D outside_color;
    bool gamma = false;
    double preservative = 0.0;
    double additive = 0.0;
    // Highlight weight of every pixel of the selection layer, which sits at (x, y) in the frame.
    int64_t selection_x = 0, selection_y = 0, selection_width = 0, selection_height = 0;
    std::vector<double> selection_weight;
};

// The defocused frame over the output rectangle, in unit scale before any integer conversion:
// out = conv(E * iris) / sum(iris) per channel, where E is the source continued by the edge rules,
// premultiplied, in linear light when asked, and boosted by 1 + (p + a) s with weight 1 + p s
// (divided out when p > 0). Colours are returned straight when out_premultiplied is false.
std::vector<Rgba_D> defocus_oracle(const Oracle_Image& in, const Oracle_Iris& iris, const Defocus_Oracle_Settings& s,
                                   int64_t out_x, int64_t out_y, int64_t out_width, int64_t out_height,
                                   bool out_premultiplied);

}  // namespace nb::test
