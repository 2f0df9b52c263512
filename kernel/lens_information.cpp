// Builds the per-row value changes of a drawn iris, skipping the spans whose value cannot change.
#include "kernel/lens_information.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "base/exception.h"
#include "kernel/iris_blades.h"
#include "kernel/iris_scale.h"

namespace nb {

namespace {

struct Iris_Size {
    double rx = 0.0;  // horizontal radius in layer pixels
    double q = 1.0;   // vertical over horizontal radius, at least 0.05
    int32_t n = 0;    // columns -n..n are scanned
    int32_t m = 0;    // rows -m..m are scanned
};

bool finite_settings(const Lens_Settings& s) {
    const float values[] = {s.radius, s.rounded, s.border_thickness, s.border_brightness, s.aspect,
                            s.angle, s.pixel_aspect, s.horizontal_factor, s.vertical_factor};
    return std::all_of(std::begin(values), std::end(values), [](float v) { return std::isfinite(v); });
}

// Nothing when the settings describe no drawable iris: a non-finite value, or a shape without an
// ellipse, would size arrays from negative counts.
std::optional<Iris_Size> iris_size(const Lens_Settings& s) {
    if (!finite_settings(s)) return std::nullopt;
    const std::optional<Iris_Ellipse> ellipse =
        iris_ellipse(s.radius, s.aspect, s.pixel_aspect, s.horizontal_factor, s.vertical_factor);
    if (!ellipse) return std::nullopt;
    const double columns = std::floor(ellipse->rx + 1.0);
    const double rows = std::floor(columns * ellipse->q) + 1.0;
    // A row holds at most one event per pixel plus its two extra records; positions are 32-bit.
    ASSERT((2.0 * columns + 3.0) * (2.0 * rows + 1.0) < 2147483647.0,
           "iris of " << 2.0 * columns + 1.0 << " x " << 2.0 * rows + 1.0 << " pixels is too large");
    return Iris_Size{ellipse->rx, ellipse->q, static_cast<int32_t>(columns), static_cast<int32_t>(rows)};
}

// Owns the storage while it is filled: the two row arrays, then the events.
class Lens_Builder {
public:
    Lens_Builder(const Render_Context& context, int32_t m, int64_t capacity)
        : rows_(2 * static_cast<int64_t>(m) + 1), capacity_(capacity),
          storage_(context.allocate_memory(bytes_for(capacity))) {}

    void append(const Lens_Event& event) {
        ASSERT(count_ < capacity_, "iris changes outgrow their block of " << capacity_);
        events()[count_++] = event;
    }
    const Lens_Event& event(int64_t index) { return events()[index]; }
    int64_t count() const { return count_; }
    int32_t* row_count() { return static_cast<int32_t*>(storage_->data_cpu()); }
    int32_t* row_start() { return row_count() + rows_; }
    std::shared_ptr<Mapped_Memory> storage() const { return storage_; }

private:
    int64_t bytes_for(int64_t events) const {
        return 2 * rows_ * static_cast<int64_t>(sizeof(int32_t)) + events * static_cast<int64_t>(sizeof(Lens_Event));
    }
    Lens_Event* events() { return reinterpret_cast<Lens_Event*>(row_start() + rows_); }

    int64_t rows_;
    int64_t capacity_;
    int64_t count_ = 0;
    std::shared_ptr<Mapped_Memory> storage_;
};

enum class Cover { none, partial, full };

// Where along one row a shape's coverage is certainly 0, certainly 1, or has to be computed.
struct Shape_Row {
    Pixel_Run possible;
    Pixel_Run whole;

    Cover at(int32_t x) const {
        if (whole.contains(x)) return Cover::full;
        return possible.contains(x) ? Cover::partial : Cover::none;
    }
};

struct Pixel_Value {
    double value;
    double coverage;
};

// The border brightness b shades the ring between the outer and the inner outline: b > 0 dims the
// inside and keeps the ring at full brightness, b < 0 dims the ring.
Pixel_Value shade(double outer, double inner, double b) {
    double v = outer;
    if (b > 0.0) v = (1.0 - b) * inner + (outer - inner);
    if (b < 0.0) v = inner + (1.0 + b) * (outer - inner);
    if (v <= 0.001) v = 0.0;
    return {std::min(v, 1.0), std::min(1.0, outer)};
}

class Row_Scanner {
public:
    Row_Scanner(const Iris_Size& size, const Lens_Settings& settings, Lens_Builder& builder)
        : size_(size), brightness_(settings.border_brightness), builder_(builder) {
        const Blade_Directions directions = blade_directions(settings.facets, settings.angle);
        outer_.emplace(size.rx, settings.rounded, size.q, directions);
        if (brightness_ != 0.0) {
            const double inner_radius = (1.0 - static_cast<double>(settings.border_thickness)) * size.rx;
            inner_.emplace(inner_radius, settings.rounded, size.q, directions);
        }
    }

    void scan(int32_t y);
    int32_t first_row() const { return first_row_; }
    int32_t last_row() const { return last_row_; }

private:
    Shape_Row plan(const std::optional<Iris_Blades>& shape, double y) const;
    void scan_span(int32_t begin, int32_t end, const Shape_Row& outer, const Shape_Row& inner, double y);
    void record(int32_t x, const Pixel_Value& pixel);
    void finish_row(int64_t start);

    Iris_Size size_;
    double brightness_;
    Lens_Builder& builder_;
    std::optional<Iris_Blades> outer_;
    std::optional<Iris_Blades> inner_;
    int32_t row_ = 0;
    double previous_value_ = 0.0;
    double previous_coverage_ = 0.0;
    int32_t in_row_ = 0;
    int32_t first_row_ = 1;
    int32_t last_row_ = 0;
    bool any_event_ = false;
};

Shape_Row Row_Scanner::plan(const std::optional<Iris_Blades>& shape, double y) const {
    if (!shape) return {};
    return {shape->possibly_covered(y, size_.n), shape->wholly_covered(y, size_.n)};
}

// Between two neighbouring ends of the runs every shape's state is the same; where no shape needs
// computing, the value is constant and only the span's first pixel can hold a change.
void Row_Scanner::scan(int32_t y) {
    const double squeezed = y / size_.q;
    const Shape_Row outer = plan(outer_, squeezed);
    const Shape_Row inner = plan(inner_, squeezed);
    std::array<int32_t, 10> ends = {-size_.n, size_.n + 1,
                                    outer.possible.first, outer.possible.last + 1,
                                    outer.whole.first, outer.whole.last + 1,
                                    inner.possible.first, inner.possible.last + 1,
                                    inner.whole.first, inner.whole.last + 1};
    for (int32_t& end : ends) end = std::clamp(end, -size_.n, size_.n + 1);
    std::sort(ends.begin(), ends.end());
    const auto last = std::unique(ends.begin(), ends.end());

    const int64_t start = builder_.count();
    row_ = y;
    previous_value_ = 0.0;
    previous_coverage_ = 0.0;
    in_row_ = 0;
    for (auto it = ends.begin(); it + 1 < last; ++it) scan_span(*it, *(it + 1), outer, inner, squeezed);
    finish_row(start);
}

void Row_Scanner::scan_span(int32_t begin, int32_t end, const Shape_Row& outer, const Shape_Row& inner,
                            double y) {
    const Cover outer_cover = outer.at(begin);
    const Cover inner_cover = inner.at(begin);
    if (outer_cover != Cover::partial && inner_cover != Cover::partial) {
        record(begin, shade(outer_cover == Cover::full, inner_cover == Cover::full, brightness_));
        return;
    }
    for (int32_t x = begin; x < end; ++x) {
        const double co = outer_cover == Cover::partial ? outer_->coverage(x, y) : outer_cover == Cover::full;
        const double ci = inner_cover == Cover::partial ? inner_->coverage(x, y) : inner_cover == Cover::full;
        record(x, shade(co, ci, brightness_));
    }
}

void Row_Scanner::record(int32_t x, const Pixel_Value& pixel) {
    if (std::fabs(pixel.value - previous_value_) > 0.0001) {
        builder_.append({static_cast<float>(pixel.value - previous_value_),
                         static_cast<float>(pixel.coverage - previous_coverage_), x});
        ++in_row_;
        last_row_ = row_;
        if (!any_event_) first_row_ = row_;
        any_event_ = true;
    }
    previous_value_ = pixel.value;
    previous_coverage_ = pixel.coverage;
}

// A lone change is followed by its negation so that readers which run through the records until the
// terminator see the value on that one pixel only.
void Row_Scanner::finish_row(int64_t start) {
    const int64_t index = static_cast<int64_t>(size_.m) + row_;
    builder_.row_count()[index] = in_row_;
    builder_.row_start()[index] = static_cast<int32_t>(start);
    if (in_row_ == 1) {
        const Lens_Event lone = builder_.event(start);
        builder_.append({-lone.value_change, -lone.coverage_change, lone.x});
    }
    builder_.append({0.0f, 0.0f, LensInformation::end_of_row});
}

}  // namespace

LensInformation LensInformation::build(const Lens_Settings& settings, const Render_Context& context) {
    const std::optional<Iris_Size> size = iris_size(settings);
    if (!size) return {};
    // Changes lie along the outlines, one row crossing them about twice per outline, so a few dozen
    // records per row or column of the larger extent cover any shape; at the largest settings the
    // shapes use less than half of it.
    const int64_t k = std::max(size->m, size->n);
    const int64_t standard = settings.border_brightness == 0.0f ? 24 * k + 12 : 44 * k + 22;
    Lens_Builder builder(context, size->m, standard);
    Row_Scanner scanner(*size, settings, builder);
    for (int32_t y = -size->m; y <= size->m; ++y) scanner.scan(y);

    LensInformation lens;
    lens.storage = builder.storage();
    lens.row_count = static_cast<const int32_t*>(lens.storage->data_cpu());
    lens.row_start = lens.row_count + (2 * static_cast<int64_t>(size->m) + 1);
    lens.events = reinterpret_cast<const Lens_Event*>(lens.row_start + (2 * static_cast<int64_t>(size->m) + 1));
    lens.first_row = scanner.first_row();
    lens.last_row = scanner.last_row();
    lens.m = size->m;
    lens.stored = builder.count();
    return lens;
}

}  // namespace nb
