// The kernel spy and the frame context of the in-memory render rig.
#include "tests/support/pipeline_rig.h"

#include <algorithm>
#include <utility>

namespace nb::test {

Kernel_Spy::Kernel_Spy() : state_(std::make_shared<State>()) {}

Render_Context Kernel_Spy::watch(Render_Context context) {
    auto inner = std::move(context.scope_timer);
    context.scope_timer = [state = state_, inner](std::string label, int64_t bytes) {
        {
            std::lock_guard lock(state->mutex);
            state->labels.push_back(label);
        }
        return inner(std::move(label), bytes);
    };
    return context;
}

std::vector<std::string> Kernel_Spy::labels() const {
    std::lock_guard lock(state_->mutex);
    return state_->labels;
}

int64_t Kernel_Spy::count(const std::string& label) const {
    std::lock_guard lock(state_->mutex);
    return std::count(state_->labels.begin(), state_->labels.end(), label);
}

Layer_Description frame_of(int64_t width, int64_t height, float horizontal_factor, float vertical_factor) {
    Layer_Description d;
    d.width = width;
    d.height = height;
    d.horizontal_factor = horizontal_factor;
    d.vertical_factor = vertical_factor;
    return d;
}

Plugin::Context frame_context(const Layer_Description& frame) {
    Plugin::Context context;
    context.frame_description = [frame] { return frame; };
    return context;
}

}  // namespace nb::test
