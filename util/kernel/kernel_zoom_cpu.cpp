// Zoom by area averaging over a summed-area table: window plans per column, combined table rows per row.
#include "util/kernel/kernel_zoom_cpu.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/exception.h"
#include "util/kernel/extended_line.h"
#include "util/kernel/kernel_prefix_scan_2d_cpu.h"
#include "util/kernel/zoom_window.h"
#include "util/layer_buffer.h"

namespace nb {

namespace {

// The windows of every output column, with their table indices replaced by slots into the list of
// distinct table columns that any of them reads. Built once per run, shared read-only by the tasks.
struct Column_Plan {
    std::vector<int64_t> table_columns;  // ascending
    std::vector<Zoom_Window> windows;    // index[] holds slots into table_columns
};

std::shared_ptr<const Column_Plan> plan_columns(int64_t width, double zoom, const Extended_Line& line) {
    auto plan = std::make_shared<Column_Plan>();
    plan->windows.reserve(static_cast<size_t>(width));
    for (int64_t x = 0; x < width; ++x) {
        plan->windows.push_back(Zoom_Window::make(x, width, zoom, line));
        const Zoom_Window& w = plan->windows.back();
        plan->table_columns.insert(plan->table_columns.end(), w.index, w.index + w.count);
    }
    auto& columns = plan->table_columns;
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    for (Zoom_Window& w : plan->windows)
        for (int k = 0; k < w.count; ++k)
            w.index[k] = std::lower_bound(columns.begin(), columns.end(), w.index[k]) - columns.begin();
    return plan;
}

template <class In, class Out>
struct Zoom_Task {
    typename Kernel_Zoom<In, Out>::Parameters_In p;
    typename Kernel_Zoom<In, Out>::Table table;
    Extended_Line vertical;
    std::shared_ptr<const Column_Plan> columns;
};

// A source pixel in the table's raw scale: colour channels as they are, or the integer-divided gray.
template <class In_P, int Channels>
void raw_value(const In_P& p, double* value) {
    using T = typename In_P::component;
    if constexpr (Channels == 1) {
        if constexpr (std::is_same_v<T, float>) value[0] = (p.r() + p.g() + p.b()) / 3.0f;
        else value[0] = static_cast<double>((int64_t(p.r()) + int64_t(p.g()) + int64_t(p.b())) / 3);
    } else {
        for (int c = 0; c < Channels; ++c) value[c] = static_cast<double>(p.c[c]);
    }
}

// Averages in the source's raw scale to the destination: float takes 1/255 or 1/32768 and clamps
// alpha only; integer depths (the source's own) round half up and clamp, NaN becoming 0.
template <class In_P, class Out_P>
void store(Out_P& out, const double* average) {
    using T = typename Out_P::component;
    using S = typename In_P::component;
    if constexpr (std::is_same_v<T, float>) {
        constexpr float unit = std::is_same_v<S, uint8_t> ? 0.003921569f
                               : std::is_same_v<S, uint16_t> ? 1.0f / 32768.0f : 1.0f;
        for (int c = 0; c < Out_P::channels; ++c) out.c[c] = static_cast<float>(average[c]) * unit;
        if constexpr (!Out_P::is_gray) out.a() = std::clamp(out.a(), 0.0f, 1.0f);
    } else {
        for (int c = 0; c < Out_P::channels; ++c) out.c[c] = store_component<T>(static_cast<float>(average[c]));
    }
}

// For every planned table column: a = sum of the row terms of the vertical window applied to the
// table, b likewise for the edge rows alone. With a source to read the corner samples from, a holds
// the block rows only; without one, a holds block and edge rows and b is unused.
template <class Table, int Channels>
void combine_rows(const Table& table, const Zoom_Window& wy, const std::vector<int64_t>& columns, bool split,
                  std::vector<double>& a, std::vector<double>& b) {
    std::fill(a.begin(), a.end(), 0.0);
    std::fill(b.begin(), b.end(), 0.0);
    for (int l = 0; l < wy.count; ++l) {
        const float* row = reinterpret_cast<const float*>(table.row(wy.index[l]));
        const double ca = split ? wy.block[l] : wy.block[l] + wy.edge[l];
        const double cb = wy.edge[l];
        for (size_t s = 0; s < columns.size(); ++s) {
            const float* v = row + columns[s] * Channels;
            for (int c = 0; c < Channels; ++c) a[s * Channels + c] += ca * v[c];
            if (split)
                for (int c = 0; c < Channels; ++c) b[s * Channels + c] += cb * v[c];
        }
    }
}

// The window's table part for one output pixel: the full horizontal window over the rows in a,
// plus, when b holds the edge rows, the horizontal block over them.
template <int Channels>
void add_table_terms(const Zoom_Window& wx, const std::vector<double>& a, const std::vector<double>& b, bool split,
                     double* sum) {
    for (int k = 0; k < wx.count; ++k) {
        const size_t slot = static_cast<size_t>(wx.index[k]) * Channels;
        const double full = wx.block[k] + wx.edge[k];
        for (int c = 0; c < Channels; ++c) sum[c] += full * a[slot + c];
        if (split)
            for (int c = 0; c < Channels; ++c) sum[c] += wx.block[k] * b[slot + c];
    }
}

// The four corner samples where the edge columns meet the edge rows, read from the source exactly.
template <class In_P, int Channels>
void add_corners(const Layer<In_P>& in, const Zoom_Window& wx, const Zoom_Window& wy, double* sum) {
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            if (wx.edge_source[i] < 0 || wy.edge_source[j] < 0) continue;
            double value[Channels];
            raw_value<In_P, Channels>(in.at(wx.edge_source[i], wy.edge_source[j]), value);
            const double weight = wx.edge_weight[i] * wy.edge_weight[j];
            for (int c = 0; c < Channels; ++c) sum[c] += weight * value[c];
        }
}

// A contiguous range of output rows. Corner samples come from the source when there is one, so
// magnified images read their pixels exactly; without one the table supplies them as well.
template <class In, class Out>
void zoom_rows(const Iteration& iteration, Render_Context context, Zoom_Task<In, Out> task) {
    using Table_P = typename Kernel_Zoom<In, Out>::Table::pixel;
    constexpr int channels = Table_P::channels;
    const auto& p = task.p;
    const Column_Plan& plan = *task.columns;
    const bool corners_from_source = !p.in.empty();
    std::vector<double> a(plan.table_columns.size() * channels);
    std::vector<double> b(a.size());
    const auto [begin, end] = split(iteration, p.out.height);
    for (int64_t y = begin; y < end; ++y) {
        const Zoom_Window wy = Zoom_Window::make(y, p.out.height, p.zoom_y, task.vertical);
        combine_rows<decltype(task.table), channels>(task.table, wy, plan.table_columns, corners_from_source, a, b);
        auto* target = p.out.row(y);
        for (int64_t x = 0; x < p.out.width; ++x) {
            const Zoom_Window& wx = plan.windows[static_cast<size_t>(x)];
            double sum[channels] = {};
            add_table_terms<channels>(wx, a, b, corners_from_source, sum);
            if (corners_from_source) add_corners<typename In::pixel, channels>(p.in, wx, wy, sum);
            const double divisor = wx.weight_sum * wy.weight_sum;
            for (int c = 0; c < channels; ++c) sum[c] = divisor != 0.0 ? sum[c] / divisor : 0.0;
            store<typename In::pixel>(target[x], sum);
        }
        context.check_abort();
    }
}

}  // namespace

template <class In, class Out>
int64_t Kernel_Zoom<In, Out>::workload() const {
    return in.out.height * in.out.row_bytes + in.in.height * in.in.row_bytes;
}

template <class In, class Out>
void Kernel_Zoom<In, Out>::execute(Render_Context context) {
    if (in.out.empty()) return;
    Table table = in.sum_table;
    Layer_Buffer own_table;  // released when execute returns
    if (table.empty()) {
        ASSERT(!in.in.empty(), "need either input image or a prepared sum table");
        own_table = allocate_layer_buffer<typename Table::pixel>(context, in.in.width, in.in.height,
                                                                 in.in.premultiplied, in.in.x, in.in.y,
                                                                 in.in.pixel_aspect, in.in.horizontal_factor,
                                                                 in.in.vertical_factor);
        table = own_table.layer<typename Table::pixel>();
        Kernel_Prefix_Scan_2d<In, Table> scan;
        scan.in.in = in.in;
        scan.in.out = table;
        scan.run(context);
    } else if (!in.in.empty()) {
        ASSERT(in.in.width == table.width && in.in.height == table.height,
               "a prepared sum table must have the size of the input image");
    }
    Zoom_Task<In, Out> task{in, table, Extended_Line(in.outside_vertical, table.height),
                            plan_columns(in.out.width, in.zoom_x, Extended_Line(in.outside_horizontal, table.width))};
    // Windows of the first and last row bound every row's reach: fail here rather than in a task.
    Zoom_Window::make(0, in.out.height, in.zoom_y, task.vertical);
    Zoom_Window::make(in.out.height - 1, in.out.height, in.zoom_y, task.vertical);
    const int64_t tasks = std::clamp<int64_t>(context.thread_count(0), 1, in.out.height);
    launch(tasks, zoom_rows<In, Out>, context, task);
}

template class Kernel_Zoom<Layer<Pixel_Argb_8>, Layer<Pixel_Argb_8>>;
template class Kernel_Zoom<Layer<Pixel_Argb_8>, Layer<Pixel_Argb_32f>>;
template class Kernel_Zoom<Layer<Pixel_Argb_8>, Layer<Pixel_Gray_32f>>;
template class Kernel_Zoom<Layer<Pixel_Argb_16>, Layer<Pixel_Argb_16>>;
template class Kernel_Zoom<Layer<Pixel_Argb_16>, Layer<Pixel_Argb_32f>>;
template class Kernel_Zoom<Layer<Pixel_Argb_16>, Layer<Pixel_Gray_32f>>;
template class Kernel_Zoom<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
template class Kernel_Zoom<Layer<Pixel_Argb_32f>, Layer<Pixel_Gray_32f>>;
template class Kernel_Zoom<Layer<Pixel_Bgra_8>, Layer<Pixel_Bgra_8>>;
template class Kernel_Zoom<Layer<Pixel_Bgra_8>, Layer<Pixel_Bgra_32f>>;
template class Kernel_Zoom<Layer<Pixel_Bgra_8>, Layer<Pixel_Gray_32f>>;
template class Kernel_Zoom<Layer<Pixel_Bgra_16>, Layer<Pixel_Bgra_16>>;
template class Kernel_Zoom<Layer<Pixel_Bgra_16>, Layer<Pixel_Bgra_32f>>;
template class Kernel_Zoom<Layer<Pixel_Bgra_16>, Layer<Pixel_Gray_32f>>;
template class Kernel_Zoom<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
template class Kernel_Zoom<Layer<Pixel_Bgra_32f>, Layer<Pixel_Gray_32f>>;

}  // namespace nb
