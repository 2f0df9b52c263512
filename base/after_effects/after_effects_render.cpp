// Smart and non-smart render: layer checkouts, layer records and the call of the plug-in's render.
#include "base/after_effects/after_effects_render.h"

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/after_effects/after_effects_layers.h"
#include "base/after_effects/helper/ae_check.h"
#include "base/after_effects/helper/ae_helper.h"
#include "base/after_effects/helper/ae_suite.h"
#include "base/exception.h"
#include "base/log.h"

namespace nb {
namespace {

// The layer pixels a smart render checked out, checked in again when it ends, whatever the way.
class Smart_Checkouts {
public:
    Smart_Checkouts(PF_InData* in_data, PF_SmartRenderExtra* extra) : in_data_(in_data), extra_(extra) {}
    ~Smart_Checkouts() {
        for (const A_long id : ids_) {
            const PF_Err error = extra_->cb->checkin_layer_pixels(in_data_->effect_ref, id);
            if (error != PF_Err_NONE && error != PF_Interrupt_CANCEL)
                log(std::string(warning_prefix) + "checkin_layer_pixels() failed. Error code: " +
                        std::to_string(error) + "\n",
                    2);
        }
    }
    Smart_Checkouts(const Smart_Checkouts&) = delete;
    Smart_Checkouts& operator=(const Smart_Checkouts&) = delete;

    // Null when the host has no pixels for the layer.
    PF_EffectWorld* pixels(A_long id) {
        PF_EffectWorld* world = nullptr;
        check_pf(extra_->cb->checkout_layer_pixels(in_data_->effect_ref, id, &world), pf_err_message);
        if (world != nullptr) ids_.push_back(id);
        return world;
    }

private:
    PF_InData* in_data_;
    PF_SmartRenderExtra* extra_;
    std::vector<A_long> ids_;
};

struct Smart_Render {
    PF_InData* in_data;
    PF_SmartRenderExtra* extra;
    bool device;
    Layer_Description frame;
    Ae_Suite<PF_GPUDeviceSuite1>& gpu;

    // A device render works on the host's device copy of each world; asking for it proves the host
    // knows the world there.
    void require_device_data(PF_EffectWorld* world) const {
        if (!device) return;
        void* device_data = nullptr;
        check_pf(gpu->GetGPUWorldData(in_data->effect_ref, world, &device_data), pf_err_message);
    }

    Layer_Typeless record(PF_EffectWorld* world) const {
        const Layer_Typeless layer = layer_from_world(in_data, *world, pixel_format_of_world(in_data, world));
        require_device_data(world);
        return layer;
    }

    PF_EffectWorld* output_world() const {
        PF_EffectWorld* world = nullptr;
        check_pf(extra->cb->checkout_output(in_data->effect_ref, &world), pf_err_message);
        if (world == nullptr) {
            PF_GPUDeviceInfo info{};
            check_pf(gpu->GetDeviceInfo(in_data->effect_ref, extra->input->device_index, &info), pf_err_message);
            ASSERT_INCOMPLETE;
        }
        return world;
    }
};

}  // namespace

Timing_Report::~Timing_Report() {
    try {
        log(table_->report() + "\n", 1);
    } catch (...) {
        // A report that cannot be written must not replace the render's own outcome.
    }
}

void smart_render(PF_InData* in_data, PF_SmartRenderExtra* extra, Plugin& plugin, const Plugin::Context& context,
                  bool device) {
    auto timing = std::make_shared<Timing_Table>();
    const Timing_Report report(timing);
    bool abort_flag = false;
    const Render_Context render_context =
        render_context_ae_cpu(timing.get(), in_data, std::this_thread::get_id(), abort_flag);
    log("smart render. is gpu:" + std::to_string(device ? 1 : 0) + "\n", 1);
    Ae_Suite<PF_GPUDeviceSuite1> gpu(in_data->pica_basicP, kPFGPUDeviceSuite, kPFGPUDeviceSuiteVersion1);
    const Smart_Render r{in_data, extra, device, context.frame_description(), gpu};
    Smart_Checkouts checkouts(in_data, extra);

    Layer_Typeless input;
    {
        const auto section = render_context.scope_section("getting input layer");
        if (PF_EffectWorld* world = checkouts.pixels(0)) input = r.record(world);
    }
    PF_EffectWorld* output_world = nullptr;
    Layer_Typeless output;
    {
        const auto section = render_context.scope_section("getting output layer");
        output_world = r.output_world();
        output = r.record(output_world);
    }
    Extra_Layers extras;
    {
        const auto section = render_context.scope_section("getting extra layers");
        for (const Extra_Layer& layer : extra_layers(plugin)) {
            Layer_Typeless record;
            if (PF_EffectWorld* world = checkouts.pixels(layer.host_index)) {
                record = r.record(world);
                centre_on_frame(record, r.frame.width, r.frame.height);
            }
            extras[layer.key] = record;
        }
    }
    // Without an input nothing may be read; the plug-in draws on a defined, transparent frame.
    if (input.data == nullptr) clear_world(*output_world, output.format.full_size);
    plugin.render(context, render_context, input, output, extras, output.format);
}

void render(PF_InData* in_data, PF_ParamDef* params[], PF_LayerDef* output, Plugin& plugin,
            const Render_Context& render_context, const Plugin::Context& context) {
    ASSERT(params != nullptr && params[0] != nullptr && output != nullptr);
    Pixel_Format format;
    Layer_Typeless output_record;
    {
        const auto section = render_context.scope_section("getting output layer");
        format = pixel_format_of_world(in_data, output);
        output_record = layer_from_world(in_data, *output, format);
    }
    const PF_LayerDef& input_world = params[0]->u.ld;
    const Layer_Typeless input =
        input_world.data != nullptr ? layer_from_world(in_data, input_world, format) : Layer_Typeless{};

    Extra_Layers extras;
    std::vector<std::shared_ptr<Layer_Typeless>> checked_out;  // checked in when the render is done
    {
        const auto section = render_context.scope_section("getting extra layers");
        for (const Extra_Layer& layer : extra_layers(plugin)) {
            Layer_Typeless record;
            if (auto checked = checkout_layer(in_data, layer.host_index)) {
                record = *checked;
                centre_on_frame(record, output->width, output->height);
                checked_out.push_back(std::move(checked));
            }
            extras[layer.key] = record;
        }
    }
    if (input.data == nullptr) clear_world(*output, format.full_size);
    plugin.render(context, render_context, input, output_record, extras, format);
}

}  // namespace nb
