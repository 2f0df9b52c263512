// Working memory of the defocus run, buffer by buffer, in the order the run allocates and releases them.
#include "kernel/blurmond_working_set.h"

#include <algorithm>
#include <cmath>

#include "kernel/kernel_fft_cpu.h"

namespace nb {

double host_block_bytes(double width_bytes, double height) {
    // Rows start 64-byte aligned; the host block also holds the handle and the room to align the start.
    constexpr double alignment = 64.0, header = 8.0;
    return std::ceil(width_bytes / alignment) * alignment * height + header + alignment;
}

Blurmond_Working_Set blurmond_working_set(const Iris_Extent_Settings& iris, int64_t in_width, int64_t in_height,
                                          bool colour, bool weighted, int64_t workers) {
    Blurmond_Working_Set set;
    set.geometry = blurmond_geometry(in_width, in_height, iris);
    Iris_Extent_Settings unsoftened = iris;
    unsoftened.soften = 0.0f;
    const Iris_Extent whole = iris_extent(iris), shape = iris_extent(unsoftened);
    set.soften = {whole.x - shape.x, whole.y - shape.y};

    // Float channels: the drawn iris gray or RGBA; the transformed iris as drawn, with a weight channel
    // in colour; the image RGBA, with the weight when weighted.
    const int drawn_channels = colour ? 4 : 1;
    const int iris_channels = colour ? (weighted ? 5 : 4) : 1;
    const int image_channels = weighted ? 5 : 4;
    const Blurmond_Geometry& g = set.geometry;
    const double pw = static_cast<double>(g.width), ph = static_cast<double>(g.height);
    const auto scratch = [&](int channels) {
        return host_block_bytes(static_cast<double>(fft_scratch_row_bytes(channels, g.width, g.height)),
                                static_cast<double>(std::max<int64_t>(workers, 1) + 1));
    };
    const double drawn = host_block_bytes(pw * 4.0 * drawn_channels, ph);
    const double softened = iris.soften > 0.0f ? drawn : 0.0;
    const double transformed = host_block_bytes((pw + 2.0) * 4.0 * iris_channels, ph);
    const double sums = host_block_bytes(ph * 8.0 * iris_channels, 1.0);
    const double image = host_block_bytes((pw + 2.0) * 4.0 * image_channels, ph);
    // In the order of the run: drawing, shifting, the iris's transform, the image's transforms.
    set.peak_bytes = std::max({drawn + softened, drawn + transformed + sums, transformed + scratch(iris_channels),
                               transformed + image + scratch(image_channels)});
    return set;
}

}  // namespace nb
