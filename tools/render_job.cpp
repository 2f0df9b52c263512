// Setting up the effect from the command line and rendering one image through the headless host.
#include "tools/render_job.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "base/error_names.h"
#include "base/memory_size_text.h"
#include "tools/control_preset.h"
#include "tools/control_value.h"
#include "tools/host_pixels.h"
#include "tools/image_downsample.h"
#include "tools/image_file.h"
#include "tools/interrupt_signals.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

bool premiere(const Render_Options& options) { return options.host == Render_Host::premiere; }

host::Session_Settings session_settings(const Render_Options& options) {
    host::Session_Settings settings;
    settings.effect.appl_id = premiere(options) ? host::app_id_premiere : host::app_id_after_effects;
    const auto factor = static_cast<A_u_long>(options.downsample);
    settings.effect.downsample_x = PF_RationalScale{1, factor};
    settings.effect.downsample_y = PF_RationalScale{1, factor};
    settings.threads = options.threads;
    settings.memory_budget = options.memory_limit;
    return settings;
}

}  // namespace

// A command that failed because the user interrupted says so rather than name the cancel. Out of
// memory says what the effect reported it needs, and the limit it met.
void Render_Job::check(PF_Err error, const std::string& what) const {
    if (error == PF_Err_NONE) return;
    check_interrupt();
    if (error != PF_Err_OUT_OF_MEMORY) throw Tool_Error(what + " failed: " + pf_err_name(error));
    const std::string reported = session_->error_message();
    throw Tool_Error("out of memory: " + (reported.empty() ? "the effect needs more than the host can give" : reported) +
                     "; the memory limit is " + memory_size_text(static_cast<double>(memory_limit())) +
                     " (--memory-limit)");
}

namespace {

Host_Pixel_Layout layout_for(const Render_Options& options, int bits) {
    return Host_Pixel_Layout{premiere(options) ? Channel_Order::bgra : Channel_Order::argb, bits};
}

host::World_Format world_format(const Host_Pixel_Layout& layout) {
    const host::Pixel_Depth depth = layout.bits == 8    ? host::Pixel_Depth::bits_8
                                    : layout.bits == 16 ? host::Pixel_Depth::bits_16
                                                        : host::Pixel_Depth::bits_32;
    const host::Channel_Order order =
        layout.order == Channel_Order::argb ? host::Channel_Order::argb : host::Channel_Order::bgra;
    return host::World_Format{depth, order, false};
}

// As a host gives it for footage: a ratio of whole numbers, here in ten-thousandths reduced. Footage
// lies well within 1:10 and 10:1; a file's claim beyond would only grow the iris out of all measure.
PF_RationalScale rational(float aspect) {
    constexpr A_long scale = 10000;
    const auto num = static_cast<A_long>(std::lround(std::clamp(std::isfinite(aspect) ? static_cast<double>(aspect) : 1.0, 0.1, 10.0) * scale));
    const A_long divisor = std::gcd(num, scale);
    return PF_RationalScale{num / divisor, static_cast<A_u_long>(scale / divisor)};
}

std::unique_ptr<host::Host_World> world_of(const Image_Rgba& image, const Host_Pixel_Layout& layout) {
    auto world = std::make_unique<host::Host_World>(image.width, image.height, world_format(layout));
    world->world()->pix_aspect_ratio = rational(image.pixel_aspect);
    write_host_pixels(image, layout, world->row(0), world->row_bytes());
    return world;
}

bool empty(const PF_LRect& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

Render_Job::Render_Job(const Render_Options& options) : options_(options) {
    if (options.timing) log_home_ = std::make_unique<host::Private_Log_Home>();
    try {
        session_ = std::make_unique<host::Effect_Session>(options.plugin, session_settings(options));
    } catch (const std::exception& error) {
        throw Tool_Error("cannot load the effect '" + options.plugin.string() + "': " + error.what());
    }
    session_->host().cancel_when(&caught_interrupt());
    check(session_->global_setup(), "PF_Cmd_GLOBAL_SETUP");
    check(session_->params_setup(), "PF_Cmd_PARAMS_SETUP");
    controls_ = std::make_unique<Effect_Controls>(session_->effect().parameters());
    apply_settings(options);
}

Render_Job::~Render_Job() = default;

// An error in a preset's line names the file and line.
void Render_Job::apply_settings(const Render_Options& options) {
    for (const Setting_Text& setting : options.settings) {
        try {
            apply_setting(setting.text);
        } catch (const Tool_Error& error) {
            if (setting.origin.empty()) throw;
            throw Tool_Error(setting.origin + ": " + error.what());
        }
    }
}

// An empty file name takes a layer away again, as a --set after a preset may.
void Render_Job::apply_setting(const std::string& text) {
    const Control_Setting setting = Control_Setting::parse(text);
    const Effect_Control& control = controls_->find(setting.key);
    gamma_chosen_ |= control.key == gamma_key;
    if (control.type != PF_Param_LAYER) return set_control_value(*session_, *controls_, control, setting.value);
    layer_images_.erase(control.index);
    layer_files_.erase(control.index);
    if (setting.value.empty()) return;
    layer_images_[control.index] = read_image_file(setting.value, memory_limit()).image;
    layer_files_[control.index] = setting.value;
}

void Render_Job::follow_encoding(bool linear) {
    if (gamma_chosen_) return;
    const Effect_Control& gamma = controls_->find(gamma_key);
    const bool effect_default = session_->effect().parameters().at(static_cast<size_t>(gamma.index)).u.bd.dephault != 0;
    set_control_value(*session_, *controls_, gamma, effect_default && !linear ? "on" : "off");
}

host::Render_Path Render_Job::path() const {
    return premiere(options_) || options_.legacy ? host::Render_Path::non_smart : host::Render_Path::smart;
}

Image_Rgba Render_Job::render(Image_Rgba full_input, int bits) {
    const Host_Pixel_Layout layout = layout_for(options_, bits);
    Image_Rgba input =
        options_.downsample == 1 ? std::move(full_input) : downsample_image(full_input, options_.downsample);
    if (input.empty()) throw Tool_Error("the input image has no pixels");
    auto input_world = world_of(input, layout);
    // The world holds the pixels now; the result will need new storage only once the input world is gone.
    // 8-bit pixels that came as bytes go back as bytes.
    const bool bytes = input.in_bytes() && layout.bits == 8;
    std::vector<float>().swap(input.rgba);
    std::vector<uint8_t>().swap(input.rgba8);

    std::vector<std::unique_ptr<host::Host_World>> layer_worlds;
    host::Frame_Layers frame{input_world.get(), nullptr, {}};
    for (const auto& [index, image] : layer_images_) {
        layer_worlds.push_back(world_of(downsample_image(image, options_.downsample), layout));
        frame.extra[index] = layer_worlds.back().get();
    }

    PF_LRect rect{0, 0, static_cast<A_long>(input.width), static_cast<A_long>(input.height)};
    if (path() == host::Render_Path::smart) {
        const host::Pre_Render_Result pre = session_->pre_render(frame, rect);
        check(pre.error, "PF_Cmd_SMART_PRE_RENDER");
        if (!empty(pre.max_result_rect)) rect = pre.max_result_rect;
    }
    host::Host_World output(rect.right - rect.left, rect.bottom - rect.top, world_format(layout), rect.left, rect.top);
    output.world()->pix_aspect_ratio = input_world->world()->pix_aspect_ratio;
    frame.output = &output;
    if (path() == host::Render_Path::smart) {
        check(session_->render_smart(frame, rect), "PF_Cmd_SMART_RENDER");
    } else {
        check(session_->render_non_smart(frame), "PF_Cmd_RENDER");
    }
    // The input worlds are done with; the result's pixels may take their memory.
    input_world.reset();
    layer_worlds.clear();

    Image_Rgba result = read_host_pixels(layout, output.row(0), output.row_bytes(), output.width(), output.height(), bytes);
    result.x = input.x + rect.left;
    result.y = input.y + rect.top;
    result.frame_width = input.full_width();
    result.frame_height = input.full_height();
    result.pixel_aspect = input.pixel_aspect;
    return result;
}

void Render_Job::save_preset(const std::filesystem::path& path) {
    std::vector<std::string> lines{"# blurmond-render preset: one KEY=VALUE a line, read by --preset"};
    for (const Effect_Control& control : controls_->all()) {
        if (control.key == gamma_key && !gamma_chosen_) {
            lines.push_back("# " + control.key + " follows each file: off for linear ones, the effect's default otherwise");
        } else if (control.type == PF_Param_LAYER) {
            const auto file = layer_files_.find(control.index);
            lines.push_back(control.key + "=" + (file == layer_files_.end() ? "" : file->second));
        } else {
            lines.push_back(control.key + "=" + control_value_text(*session_, control));
        }
    }
    write_control_preset(path, lines);
}

std::string Render_Job::timing_table() const {
    return host::Private_Log_Home::last_timing_table(timing_log());
}

std::string Render_Job::timing_log() const { return log_home_ ? log_home_->log_text() : ""; }

}  // namespace nb::tools
