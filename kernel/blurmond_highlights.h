// Light too bright for the float transform: counted, clamped out of it and splatted with the iris in double.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "util/memory.h"
#include "util/memory_2d.h"
#include "util/render_context.h"

namespace nb {

// The splats' sum over one output row: per column and channel, from column 0 of the row; written only
// in the columns begin .. end - 1 that splats reach.
struct Row_Excess {
    const double* sums = nullptr;  // null: no splat reaches the row
    int64_t begin = 0;
    int64_t end = 0;
    bool reaches(int64_t column) const { return column >= begin && column < end; }
};

// The part of one buffer pixel beyond the threshold, per buffer channel in storage order.
struct Highlight_Splat {
    int64_t x = 0;  // buffer column
    int64_t y = 0;  // buffer row
    double excess[5] = {};
};

// The float transform's rounding error is proportional to the largest value it carries, so a highlight
// far above the rest of the frame would swamp every other pixel (and beyond the float range turn the
// frame into NaN). The convolution is linear: working values beyond +-threshold enter the transform
// clamped there, and their excess is convolved in double with the iris directly. Shared by the row
// tasks of one defocus run, in this order:
// 1. the first conversion of the rows into the buffer takes a census of the pixels beyond
//    first_threshold and of the channels that hold negative values (count, mark_negative; any thread);
// 2. only when it counted a pixel: plan() fixes threshold and scale; unless that settles it, the rows
//    are converted once more, clamped, scaled and the splats collected (add; any thread), and finish()
//    orders them;
// 3. the conversion into the output adds each row's splats (row_excess; any thread).
class Blurmond_Highlights {
public:
    // Float rounding of the transform leaves errors of about 1.8e-9 times the largest value it carries
    // (measured with one light on a 48 x 32 frame, radius 5, the worst of the sizes tried; larger
    // frames and irises do better). At 256 that is 4.6e-7 in linear light, 2e-6 after the curve (slope
    // at most 4.5): fifty times below the 1e-4 a background must keep. And 256 lies above 10 on the curve
    // (138 in linear light), so ordinary HDR frames never leave the transform's path.
    static constexpr double first_threshold = 256.0;
    // The largest magnitude the transform carries after scaling: its forward pass, the product with
    // the iris and the reverse pass each grow values by at most the pixel count (below 2^30), so 2^32
    // stays below the float range (2^128) through all three.
    static constexpr double transform_limit = 4294967296.0;

    double threshold = first_threshold;  // working values beyond +-threshold leave the transform
    double scale = 1.0;                  // power of two applied to every value in the transform
    bool collecting = false;             // the second conversion: clamp, scale and add the splats

    // Census: pixels whose largest |working value| has this std::frexp exponent.
    static int exponent(double largest);
    void count(int exponent, int64_t pixels);
    void mark_negative(uint32_t channels) { negative_.fetch_or(channels, std::memory_order_relaxed); }
    bool counted() const { return pixels_.load() > 0; }
    // Bit k set: some working value of r, g, b, a (k = 0 .. 3) was below 0.
    uint32_t negative() const { return negative_.load(); }

    // The lowest power-of-two threshold, at least the first, that leaves at most most_splats pixels
    // beyond it: splatting costs the iris's area per pixel, so beyond that many the transform's
    // accuracy, relative to those bright pixels, has to do. Then the scale that keeps the transform's
    // values within transform_limit, and room for the splats. Main thread, after the census.
    void plan(const Render_Context& context, int64_t most_splats);
    // After plan(): nothing to split off and nothing to scale, so the first conversion stands.
    bool settled() const { return room_ == 0 && scale == 1.0; }
    // Any thread, during the second conversion. Throws Exception_Assert beyond the room planned.
    void add(const Highlight_Splat& splat);

    // Main thread, after the second conversion: the splats in row order, the iris they are spread with
    // (iris_channels floats per pixel, 1 for a gray iris, row_floats floats per row; pixel (0, 0) is
    // offset (-reach_x, -reach_y) from the centre; memory kept alive here) and one accumulator row of
    // width x channels doubles per host thread for row_excess.
    // Values below 1e-5 of their channel's largest are taken as 0.
    void finish(const Render_Context& context, std::shared_ptr<Mapped_Memory_2d> iris, float* first_pixel,
                int64_t row_floats, int iris_channels, int64_t reach_x, int64_t reach_y, int64_t width,
                int channels);
    bool collected() const { return added_.load() > 0; }
    bool splatting() const { return splat_count_ > 0; }
    // Buffer row y, columns x .. x + width - 1 (the width given to finish): every splat's excess
    // times the iris (not yet divided by the iris sums). Uses the accumulator of the given thread.
    Row_Excess row_excess(int64_t y, int64_t x, int64_t thread) const;

private:
    static constexpr int exponents = 1025;  // std::frexp exponents of finite doubles above 1

    std::atomic<int64_t> pixels_{0};
    std::atomic<int64_t> by_exponent_[exponents]{};  // pixels by the frexp exponent of their largest value
    std::atomic<uint32_t> negative_{0};

    std::shared_ptr<Mapped_Memory> splat_memory_;
    Highlight_Splat* splats_ = nullptr;
    int64_t room_ = 0;
    std::atomic<int64_t> added_{0};
    int64_t splat_count_ = 0;

    std::shared_ptr<Mapped_Memory_2d> iris_memory_;
    const float* iris_ = nullptr;
    int64_t iris_row_floats_ = 0;
    int iris_channels_ = 1;
    int64_t reach_x_ = 0;
    int64_t reach_y_ = 0;
    std::shared_ptr<Mapped_Memory> accumulator_memory_;
    double* accumulators_ = nullptr;
    int64_t threads_ = 0;
    int64_t width_ = 0;
    int channels_ = 0;
};

}  // namespace nb
