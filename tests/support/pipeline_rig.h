// A render of the effect in memory for tests: owned images, the frame context a host would give, a kernel spy.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/plugin.h"
#include "util/layer.h"
#include "util/pixel/pixel_format.h"
#include "util/render_context.h"

namespace nb::test {

// Pixels held by the test; the views it hands out stay valid while it lives and see later changes.
template <class P>
class Owned_Image {
public:
    Owned_Image(int64_t width, int64_t height, P fill = P{})
        : width_(width), height_(height), pixels_(static_cast<size_t>(width * height), fill) {}

    int64_t x = 0;  // frame position of pixel (0, 0)
    int64_t y = 0;
    float horizontal_factor = 1.0f;
    float vertical_factor = 1.0f;

    int64_t width() const { return width_; }
    int64_t height() const { return height_; }
    P& at(int64_t c, int64_t r) { return pixels_[static_cast<size_t>(r * width_ + c)]; }
    const P& at(int64_t c, int64_t r) const { return pixels_[static_cast<size_t>(r * width_ + c)]; }

    Layer<P> layer() const { return Layer<P>::from_typeless(typeless()); }

    // As the host binding hands it over, carrying the format of P.
    Layer_Typeless typeless() const {
        Layer_Typeless t;
        t.width = width_;
        t.height = height_;
        t.x = x;
        t.y = y;
        t.horizontal_factor = horizontal_factor;
        t.vertical_factor = vertical_factor;
        t.data = const_cast<P*>(pixels_.data());
        t.row_bytes = width_ * static_cast<int64_t>(sizeof(P));
        t.format = pixel_format_of<P>();
        return t;
    }

private:
    int64_t width_;
    int64_t height_;
    std::vector<P> pixels_;
};

// The labels of the timing entries opened through a watched context, in opening order: every kernel
// run opens one named after the kernel.
class Kernel_Spy {
public:
    Kernel_Spy();
    // The context with its timer hooked; the spy must outlive every copy of it.
    Render_Context watch(Render_Context context);
    std::vector<std::string> labels() const;
    int64_t count(const std::string& label) const;

private:
    struct State {
        mutable std::mutex mutex;
        std::vector<std::string> labels;
    };
    std::shared_ptr<State> state_;
};

Layer_Description frame_of(int64_t width, int64_t height, float horizontal_factor = 1.0f,
                           float vertical_factor = 1.0f);

// A plug-in context that knows the frame and nothing else.
Plugin::Context frame_context(const Layer_Description& frame);

}  // namespace nb::test
