// The render commands: smart render (CPU and device) and the older render Premiere sends, from the host's
// worlds to one call of the plug-in's render.
#pragma once

#include <memory>

#include "base/after_effects/ae_sdk.h"
#include "base/plugin.h"
#include "util/render_context.h"
#include "util/timing.h"

namespace nb {

// Logs the table's report when a render ends, normally or by an exception. Never throws.
class Timing_Report {
public:
    explicit Timing_Report(std::shared_ptr<Timing_Table> table) : table_(std::move(table)) {}
    ~Timing_Report();
    Timing_Report(const Timing_Report&) = delete;
    Timing_Report& operator=(const Timing_Report&) = delete;

private:
    std::shared_ptr<Timing_Table> table_;
};

// Checks out the input, output and extra layers of a smart render and renders. A missing input leaves
// the output transparent for the plug-in to draw on. With device on, every world must also be known to
// the host's device suite; device worlds themselves, and a missing output, stop at ASSERT_INCOMPLETE,
// since only the CPU pipeline exists. Every layer checked out is checked in again on every path.
// Throws Exception_Abort on a cancel, Exception_After_Effects for other host errors, Exception_Ae_Suite
// without "PF GPU Device Suite", and what the render throws.
void smart_render(PF_InData* in_data, PF_SmartRenderExtra* extra, Plugin& plugin, const Plugin::Context& context,
                  bool device);

// The non-smart render: params[0] holds the input, output the output; the output's pixel format stands
// for every layer. Extra layers are checked out as parameters and checked in when the render is done.
void render(PF_InData* in_data, PF_ParamDef* params[], PF_LayerDef* output, Plugin& plugin,
            const Render_Context& render_context, const Plugin::Context& context);

}  // namespace nb
