// The interaction callbacks of an effect instance, reached through effect_ref.
#include "host/effect_instance.h"

namespace nb::host {

struct Effect_Callbacks {
    static PF_Err abort(PF_ProgPtr effect_ref) { return Effect_Instance::from(effect_ref).host_.query_abort(); }

    static PF_Err add_param(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
        Effect_Instance& effect = Effect_Instance::from(effect_ref);
        if (PF_Err fault = effect.host_.faults().enter("add_param")) return fault;
        if (index != -1 || def == nullptr) return PF_Err_INVALID_INDEX;
        effect.parameters_.push_back(*def);
        effect.parameter_state_.keep_texts(effect.parameters_.back());
        return PF_Err_NONE;
    }

    static PF_Err checkout_param(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long, A_long, A_u_long,
                                 PF_ParamDef* param) {
        Effect_Instance& effect = Effect_Instance::from(effect_ref);
        if (PF_Err fault = effect.host_.faults().enter("checkout_param")) return fault;
        if (param == nullptr || index < 0 || index >= static_cast<PF_ParamIndex>(effect.parameters_.size()))
            return PF_Err_INVALID_INDEX;
        *param = effect.parameters_[static_cast<size_t>(index)];
        ++effect.checked_out_;
        return PF_Err_NONE;
    }

    static PF_Err checkin_param(PF_ProgPtr effect_ref, PF_ParamDef* param) {
        Effect_Instance& effect = Effect_Instance::from(effect_ref);
        if (PF_Err fault = effect.host_.faults().enter("checkin_param")) return fault;
        if (param == nullptr || effect.checked_out_ == 0) return PF_Err_BAD_CALLBACK_PARAM;
        --effect.checked_out_;
        return PF_Err_NONE;
    }
};

Effect_Instance::Effect_Instance(Headless_Host& host, const Effect_Settings& settings) : host_(host) {
    PF_ParamDef input{};
    input.param_type = PF_Param_LAYER;
    parameters_.push_back(input);

    in_data_.inter.abort = Effect_Callbacks::abort;
    in_data_.inter.add_param = Effect_Callbacks::add_param;
    in_data_.inter.checkout_param = Effect_Callbacks::checkout_param;
    in_data_.inter.checkin_param = Effect_Callbacks::checkin_param;
    in_data_.utils = host.utils();
    in_data_.effect_ref = reinterpret_cast<PF_ProgPtr>(this);
    in_data_.quality = PF_Quality_HI;
    in_data_.version = PF_SpecVersion{settings.version_major, settings.version_minor};
    in_data_.appl_id = settings.appl_id;
    in_data_.num_params = 1;
    in_data_.current_time = settings.current_time;
    in_data_.time_step = settings.time_step;
    in_data_.local_time_step = settings.time_step;
    in_data_.time_scale = settings.time_scale;
    in_data_.field = PF_Field_FRAME;
    in_data_.width = settings.width;
    in_data_.height = settings.height;
    in_data_.extent_hint = PF_Rect{0, 0, settings.width, settings.height};
    in_data_.downsample_x = settings.downsample_x;
    in_data_.downsample_y = settings.downsample_y;
    in_data_.pixel_aspect_ratio = settings.pixel_aspect_ratio;
    in_data_.pica_basicP = const_cast<SPBasicSuite*>(host.basic_suite());
}

Effect_Instance::Effect_Instance(const Effect_Instance& applied, Render_Thread_Copy)
    : host_(applied.host_),
      in_data_(applied.in_data_),
      parameters_(applied.parameters_),
      parameter_state_(applied.parameter_state_) {
    in_data_.effect_ref = reinterpret_cast<PF_ProgPtr>(this);
    records_.supported_formats = applied.records_.supported_formats;
    records_.format_clears = applied.records_.format_clears;
    records_.frames_match_render_format = applied.records_.frames_match_render_format;
}

}  // namespace nb::host
