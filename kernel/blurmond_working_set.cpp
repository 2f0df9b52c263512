// Working memory of the defocus run, buffer by buffer, in the order the run allocates and releases them.
#include "kernel/blurmond_working_set.h"

#include <algorithm>
#include <cmath>

namespace nb {

double host_block_bytes(double width_bytes, double height) {
    // Rows start 64-byte aligned; the host block also holds the handle and the room to align the start.
    constexpr double alignment = 64.0, header = 8.0;
    return std::ceil(width_bytes / alignment) * alignment * height + header + alignment;
}

Blurmond_Working_Set blurmond_working_set(const Iris_Extent_Settings& iris, int64_t in_width, int64_t in_height,
                                          bool colour, bool weighted) {
    Blurmond_Working_Set set;
    set.geometry = blurmond_geometry(in_width, in_height, iris);
    Iris_Extent_Settings unsoftened = iris;
    unsoftened.soften = 0.0f;
    const Iris_Extent whole = iris_extent(iris), shape = iris_extent(unsoftened);
    set.soften = {whole.x - shape.x, whole.y - shape.y};

    // Float pixels: the drawn iris gray or RGBA; the transformed iris as drawn, with a weight channel in
    // colour; the image RGBA, with the weight when weighted.
    const double drawn_pixel = colour ? 16.0 : 4.0;
    const double iris_pixel = colour ? (weighted ? 20.0 : 16.0) : 4.0;
    const double image_pixel = weighted ? 20.0 : 16.0;
    const double pw = static_cast<double>(set.geometry.width), ph = static_cast<double>(set.geometry.height);
    const double drawn = host_block_bytes(pw * drawn_pixel, ph);
    const double softened = iris.soften > 0.0f ? drawn : 0.0;
    const double transformed = host_block_bytes((pw + 2.0) * iris_pixel, ph);
    const double image = host_block_bytes((pw + 2.0) * image_pixel, ph);
    // Drawn and softened while drawing; drawn and transformed while shifting; transformed and image
    // from the image's copy to the multiply.
    set.peak_bytes = std::max({drawn + softened, drawn + transformed, transformed + image});
    return set;
}

}  // namespace nb
