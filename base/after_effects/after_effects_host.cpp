// Command dispatch: the per-call plug-in, the handlers of the commands and the guard that turns failures
// into the host's error codes.
#include "base/after_effects/after_effects_host.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <sstream>
#include <thread>

#include "base/after_effects/after_effects_layers.h"
#include "base/after_effects/after_effects_parameter_factory.h"
#include "base/after_effects/after_effects_parameter_setup.h"
#include "base/after_effects/after_effects_plugin_context.h"
#include "base/after_effects/after_effects_pre_render.h"
#include "base/after_effects/after_effects_render.h"
#include "base/after_effects/pipl_registry.h"
#include "base/after_effects/helper/ae_helper.h"
#include "base/after_effects/helper/ae_check.h"
#include "base/after_effects/helper/ae_suite.h"
#include "base/exception.h"
#include "base/log.h"
#include "base/plugin_registry.h"
#include "base/system_dependencies.h"

namespace nb {
namespace {

constexpr const char* maker_notice = "(c) Nimbrel. Made for the lens in every frame.";

// Everything one call works with; built on the call's stack and gone when it returns.
struct Call {
    PF_Cmd cmd;
    PF_InData* in_data;
    PF_OutData* out_data;
    PF_ParamDef** params;
    PF_LayerDef* output;
    void* extra;
    Plugin& plugin;
    const Plugin_Description& description;

    Plugin::Context context() const { return plugin_context(in_data, out_data, &plugin); }
};

// A render-like command's own timing table and render context on the calling thread.
struct Command_Services {
    explicit Command_Services(PF_InData* in_data)
        : timing(std::make_shared<Timing_Table>()),
          render_context(render_context_ae_cpu(timing.get(), in_data, std::this_thread::get_id(), abort_flag)) {}
    std::shared_ptr<Timing_Table> timing;
    bool abort_flag = false;
    Render_Context render_context;
};

void about(const Call& c) {
    std::string text = about_text(c.description);
    // The host's buffer holds PF_MAX_EFFECT_MSG_LEN characters and the terminating zero.
    if (text.size() > PF_MAX_EFFECT_MSG_LEN) text.resize(PF_MAX_EFFECT_MSG_LEN);
    c.in_data->utils->ansi.sprintf(c.out_data->return_msg, "%s", text.c_str());
}

// Premiere converts frames for us: we name the formats we render, best first. Its answers change nothing
// we could act on, so they are not checked.
void negotiate_pixel_formats(PF_InData* in_data) {
    Ae_Suite<PF_PixelFormatSuite1> formats(in_data->pica_basicP, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1);
    formats->ClearSupportedPixelFormats(in_data->effect_ref);
    formats->AddSupportedPixelFormat(in_data->effect_ref, PrPixelFormat_BGRA_4444_32f);
    formats->AddSupportedPixelFormat(in_data->effect_ref, PrPixelFormat_BGRA_4444_16u);
    formats->AddSupportedPixelFormat(in_data->effect_ref, PrPixelFormat_BGRA_4444_8u);
    Ae_Suite<PF_UtilitySuite4> utility(in_data->pica_basicP, kPFUtilitySuite, kPFUtilitySuiteVersion4);
    utility->EffectWantsCheckedOutFramesToMatchRenderPixelFormat(in_data->effect_ref);
}

void register_with_aegp(PF_InData* in_data, const Plugin_Description& description) {
    Ae_Suite<AEGP_UtilitySuite3> utility(in_data->pica_basicP, kAEGPUtilitySuite, kAEGPUtilitySuiteVersion3);
    check_a_err(utility->AEGP_RegisterWithAEGP(nullptr, description.name.c_str(), &aegp_plugin_id));
}

void global_setup(const Call& c) {
    log_instance().write_environment_report(host_description(c.in_data), c.description);
    const Pipl_Description pipl = plugin_pipl_description();
    c.out_data->my_version = pipl.effect_version;
    c.out_data->out_flags = static_cast<PF_OutFlags>(pipl.out_flags);
    if (api_version_at_least(c.in_data, 12, 5))
        c.out_data->out_flags2 = static_cast<PF_OutFlags2>(pipl.out_flags2);
    for (const Parameter* parameter : c.plugin.parameters()) {
        if (dynamic_cast<const Custom_Parameter*>(parameter) == nullptr) continue;
        c.out_data->out_flags |= PF_OutFlag_CUSTOM_UI;
        c.out_data->out_flags2 |= PF_OutFlag2_CUSTOM_UI_ASYNC_MANAGER;
        break;
    }
    const Plugin_Host host = c.plugin.host_context().plugin_host();
    if (host == Plugin_Host::premiere) negotiate_pixel_formats(c.in_data);
    if (host == Plugin_Host::after_effects) register_with_aegp(c.in_data, c.description);
}

void query_dynamic_flags(const Call& c) {
    c.out_data->out_flags &= ~PF_OutFlag_NON_PARAM_VARY;
    if (c.plugin.host_context().plugin_host() == Plugin_Host::premiere && c.plugin.varies_without_param_change())
        c.out_data->out_flags |= PF_OutFlag_NON_PARAM_VARY;
}

void render_non_smart(const Call& c) {
    log("render path: PF_Cmd_RENDER\n", 1);
    const Command_Services services(c.in_data);
    const Timing_Report report(services.timing);
    render(c.in_data, c.params, c.output, c.plugin, services.render_context, c.context());
}

void user_changed_param(const Call& c) {
    const Command_Services services(c.in_data);
    const Plugin::Context context = c.context();
    if (c.in_data->pica_basicP == nullptr) return;
    const auto* changed = static_cast<const PF_UserChangedParamExtra*>(c.extra);
    if (const Parameter* parameter = parameter_at_host_index(c.plugin, changed->param_index))
        c.plugin.user_changed_param(context, services.render_context, parameter->description().key);
}

void dispatch(const Call& c) {
    switch (c.cmd) {
        case PF_Cmd_ABOUT: about(c); break;
        case PF_Cmd_GLOBAL_SETUP: global_setup(c); break;
        case PF_Cmd_PARAMS_SETUP: parameter_setup(c.in_data, c.out_data, c.plugin.parameters()); break;
        case PF_Cmd_RENDER: render_non_smart(c); break;
        case PF_Cmd_USER_CHANGED_PARAM: user_changed_param(c); break;
        case PF_Cmd_UPDATE_PARAMS_UI: c.plugin.update_params_ui(c.context()); break;
        case PF_Cmd_QUERY_DYNAMIC_FLAGS: query_dynamic_flags(c); break;
        case PF_Cmd_SMART_PRE_RENDER:
            smart_pre_render(c.in_data, static_cast<PF_PreRenderExtra*>(c.extra), c.plugin, c.context());
            break;
        case PF_Cmd_SMART_RENDER:
            log("render path: PF_Cmd_SMART_RENDER\n", 1);
            smart_render(c.in_data, static_cast<PF_SmartRenderExtra*>(c.extra), c.plugin, c.context(), false);
            break;
        case PF_Cmd_SMART_RENDER_GPU:
            log("render path: PF_Cmd_SMART_RENDER_GPU\n", 1);
            smart_render(c.in_data, static_cast<PF_SmartRenderExtra*>(c.extra), c.plugin, c.context(), true);
            break;
        case PF_Cmd_GPU_DEVICE_SETUP: log("selector gpu setup\n", 1); break;
        // The effect declares no custom interface and no arbitrary data, so events and arbitrary-data
        // callbacks never carry work for it; every other command needs nothing either.
        default: break;
    }
}

void run_command(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                 void* extra) {
    PF_EventExtra* event = cmd == PF_Cmd_EVENT ? static_cast<PF_EventExtra*>(extra) : nullptr;
    Parameter_Factory_After_Effects factory(in_data, params, event);
    const std::unique_ptr<Plugin> plugin = make_plugin(host_context(in_data), factory);
    const Plugin_Description description = plugin_description();
    if (cmd == PF_Cmd_GLOBAL_SETUP) log_instance().set_base_path(home_folder() + description.log_name + "_ae");
    dispatch(Call{cmd, in_data, out_data, params, output, extra, *plugin, description});
}

// The host shows return_msg as an error when the flag is set; its buffer holds PF_MAX_EFFECT_MSG_LEN
// characters and the terminating zero.
void show_error(PF_OutData* out_data, const std::string& text) {
    if (out_data == nullptr) return;
    const std::size_t length = std::min<std::size_t>(text.size(), PF_MAX_EFFECT_MSG_LEN);
    std::memcpy(out_data->return_msg, text.data(), length);
    out_data->return_msg[length] = 0;
    out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
}

// The one place where failures become the host's codes. What the host cannot be told in a code is a
// crash: the log is saved first, then the exception goes on to the host.
template <class Command>
PF_Err guarded(PF_OutData* out_data, Command&& command) {
    try {
        command();
        return PF_Err_NONE;
    } catch (const std::bad_alloc&) {
        return PF_Err_OUT_OF_MEMORY;
    } catch (const Exception_Out_Of_Memory& failure) {
        show_error(out_data, failure.what());
        return PF_Err_OUT_OF_MEMORY;
    } catch (const Exception_Unrenderable& failure) {
        show_error(out_data, failure.what());
        return PF_Err_BAD_CALLBACK_PARAM;
    } catch (const Exception_Abort&) {
        return PF_Interrupt_CANCEL;
    } catch (const Exception_After_Effects& failure) {
        return failure.code;
    } catch (...) {
        log(std::string(error_prefix) + "Unknown Exception escaped. Writing Error Log. Crashing now.\n", 3);
        log_instance().write_crash_log();
        throw;
    }
}

}  // namespace

std::string about_text(const Plugin_Description& d) {
    std::ostringstream text;
    text << d.name << " - V" << d.version_major << "." << d.version_minor << "." << d.version_bugfix
         << release_stage_suffix(d.stage) << "\n";
    if (!d.description.empty()) text << d.description << "\n";
    text << maker_notice << "\n";
    text << "build date: " << __DATE__ << "\n";
    if (d.stage != Release_Stage::release) text << "build date: " << __DATE__ << " - " << __TIME__;
    return text.str();
}

}  // namespace nb

extern "C" NB_EXPORT PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                           PF_ParamDef* params[], PF_LayerDef* output, void* extra) {
    return nb::guarded(out_data, [&] { nb::run_command(cmd, in_data, out_data, params, output, extra); });
}
