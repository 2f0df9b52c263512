// The highlights' census, the threshold and scale that follow from it, and the splats in double.
#include "kernel/blurmond_highlights.h"

#include <algorithm>
#include <cmath>

#include "base/exception.h"

namespace nb {

int Blurmond_Highlights::exponent(double largest) {
    int exponent = 0;
    std::frexp(largest, &exponent);
    return std::clamp(exponent, 0, exponents - 1);
}

void Blurmond_Highlights::count(int exponent, int64_t pixels) {
    pixels_.fetch_add(pixels, std::memory_order_relaxed);
    by_exponent_[exponent].fetch_add(pixels, std::memory_order_relaxed);
}

void Blurmond_Highlights::plan(const Render_Context& context, int64_t most_splats) {
    // Pixels of exponent e lie in [2^(e-1), 2^e): those at or above 2^k are the ones of exponent > k.
    int k = 0;
    std::frexp(first_threshold, &k);
    k -= 1;
    int64_t above = pixels_.load();
    while (above > most_splats) above -= by_exponent_[++k].load();
    threshold = std::ldexp(1.0, k);
    scale = threshold > transform_limit ? transform_limit / threshold : 1.0;
    room_ = above;
    if (room_ > 0) {
        splat_memory_ = context.allocate_memory(room_ * static_cast<int64_t>(sizeof(Highlight_Splat)));
        splats_ = static_cast<Highlight_Splat*>(splat_memory_->data_device());
    }
    collecting = true;
}

void Blurmond_Highlights::add(const Highlight_Splat& splat) {
    const int64_t index = added_.fetch_add(1, std::memory_order_relaxed);
    ASSERT(index < room_, "highlight splats beyond the census");
    splats_[index] = splat;
}

namespace {

// The softening blur's running sums leave residues of up to about 1.5e-7 of the iris's largest value, of
// either sign, where the iris holds nothing. The transform carries them harmlessly next to the threshold,
// but spread with a light a billion times the background they would draw a box around its disc. A value
// below 1e-5 of its channel's largest is such a residue, or holds as little light.
void clear_residue(float* iris, int64_t rows, int64_t columns, int64_t row_floats, int channels) {
    for (int c = 0; c < channels; ++c) {
        float largest = 0.0f;
        for (int64_t y = 0; y < rows; ++y)
            for (int64_t x = 0; x < columns; ++x)
                largest = std::max(largest, std::fabs(iris[y * row_floats + x * channels + c]));
        for (int64_t y = 0; y < rows; ++y)
            for (int64_t x = 0; x < columns; ++x) {
                float& v = iris[y * row_floats + x * channels + c];
                if (std::fabs(v) < 1e-5f * largest) v = 0.0f;
            }
    }
}

}  // namespace

void Blurmond_Highlights::finish(const Render_Context& context, std::shared_ptr<Mapped_Memory_2d> iris,
                                 float* first_pixel, int64_t row_floats, int iris_channels, int64_t reach_x,
                                 int64_t reach_y, int64_t width, int channels) {
    clear_residue(first_pixel, 2 * reach_y + 1, 2 * reach_x + 1, row_floats, iris_channels);
    splat_count_ = added_.load();
    // Arrival order depends on the threads; row order makes the sums, and the frame, repeatable.
    std::sort(splats_, splats_ + splat_count_,
              [](const Highlight_Splat& a, const Highlight_Splat& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    iris_memory_ = std::move(iris);
    iris_ = first_pixel;
    iris_row_floats_ = row_floats;
    iris_channels_ = iris_channels;
    reach_x_ = reach_x;
    reach_y_ = reach_y;
    threads_ = std::max<int64_t>(1, context.thread_count(0));
    width_ = width;
    channels_ = channels;
    accumulator_memory_ = context.allocate_memory(threads_ * width * channels * static_cast<int64_t>(sizeof(double)));
    accumulators_ = static_cast<double*>(accumulator_memory_->data_device());
}

Row_Excess Blurmond_Highlights::row_excess(int64_t y, int64_t x, int64_t thread) const {
    const Highlight_Splat* end = splats_ + splat_count_;
    const Highlight_Splat* first = std::lower_bound(static_cast<const Highlight_Splat*>(splats_), end, y - reach_y_,
                                                    [](const Highlight_Splat& a, int64_t row) { return a.y < row; });
    const Highlight_Splat* last = first;
    Row_Excess excess{nullptr, width_, 0};
    for (; last != end && last->y <= y + reach_y_; ++last) {
        excess.begin = std::min(excess.begin, std::max<int64_t>(0, last->x - reach_x_ - x));
        excess.end = std::max(excess.end, std::min(width_, last->x + reach_x_ + 1 - x));
    }
    if (excess.begin >= excess.end) return {};
    ASSERT(thread < threads_, "highlight accumulator for an unknown thread");
    double* sums = accumulators_ + thread * width_ * channels_;
    std::fill(sums + excess.begin * channels_, sums + excess.end * channels_, 0.0);
    for (const Highlight_Splat* s = first; s != last; ++s) {
        const float* iris_row = iris_ + (y - s->y + reach_y_) * iris_row_floats_;
        const int64_t from = std::max(s->x - reach_x_, x), to = std::min(s->x + reach_x_, x + width_ - 1);
        for (int64_t column = from; column <= to; ++column) {
            const float* tap = iris_row + (column - s->x + reach_x_) * iris_channels_;
            double* sum = sums + (column - x) * channels_;
            for (int c = 0; c < channels_; ++c) sum[c] += s->excess[c] * tap[iris_channels_ == 1 ? 0 : c];
        }
    }
    excess.sums = sums;
    return excess;
}

}  // namespace nb
