// The plug-in binary through the headless host: a small frame of any size, depth, channel order and
// render path, pixels of any bits, and every control at a value within its range or far outside it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "tests/support/blurmond_session_rig.h"

namespace {

using nb::host::Host_World;

template <class T>
T any_or_within(FuzzedDataProvider& in, T min, T max) {
    if (in.ConsumeBool()) return in.ConsumeIntegralInRange<T>(std::min(min, max), std::max(min, max));
    return in.ConsumeIntegral<T>();
}

double any_float_or_within(FuzzedDataProvider& in, double min, double max) {
    constexpr double specials[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::max(),
                                   std::numeric_limits<double>::denorm_min()};
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return in.ConsumeFloatingPointInRange(std::min(min, max), std::max(min, max));
    case 1: return in.ConsumeFloatingPoint<double>();
    case 2: return -in.PickValueInArray(specials);
    default: return in.PickValueInArray(specials);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static nb::test::Blurmond_Session after_effects(nb::test::blurmond_variants[0], 1), premiere(nb::test::blurmond_variants[3], 1);
    FuzzedDataProvider in(data, size);
    const nb::test::Blurmond_Variant& variant = in.PickValueInArray(nb::test::blurmond_variants);
    nb::test::Blurmond_Session& rig = variant.premiere() ? premiere : after_effects;
    const auto path = variant.premiere() || in.ConsumeBool() ? nb::host::Render_Path::non_smart : nb::host::Render_Path::smart;
    const int64_t width = in.ConsumeIntegralInRange(1, 16), height = in.ConsumeIntegralInRange(1, 16);
    Host_World input(width, height, variant.format()), output(width, height, variant.format());
    nb::host::Frame_Layers frame{&input, &output, {}};
    std::vector<std::unique_ptr<Host_World>> layers;
    const int32_t radius = rig.index_of("radius");
    for (int32_t index = 1; index < static_cast<int32_t>(rig.session.effect().parameters().size()); ++index) {
        PF_ParamDef& p = rig.session.effect().parameter(index);
        auto& u = p.u;
        switch (p.param_type) {
        case PF_Param_FLOAT_SLIDER:
            u.fs_d.value = any_float_or_within(in, u.fs_d.valid_min, u.fs_d.valid_max);
            // The work grows with the radius squared whatever the frame's size: under 64 pixels each run
            // stays fast (NaN, from infinities too, and negatives stay). The largest radius has its own tests.
            if (index == radius) u.fs_d.value = std::fmod(u.fs_d.value, 64.0);
            break;
        case PF_Param_SLIDER: u.sd.value = any_or_within(in, u.sd.valid_min, u.sd.valid_max); break;
        case PF_Param_ANGLE: u.ad.value = in.ConsumeIntegral<PF_Fixed>(); break;
        case PF_Param_CHECKBOX: u.bd.value = in.ConsumeBool(); break;
        case PF_Param_POPUP: u.pd.value = in.ConsumeIntegralInRange<PF_ParamValue>(1, u.pd.num_choices); break;
        case PF_Param_COLOR: in.ConsumeData(&u.cd.value, sizeof u.cd.value); break;
        case PF_Param_LAYER:
            if (in.ConsumeBool()) {
                layers.push_back(std::make_unique<Host_World>(in.ConsumeIntegralInRange(1, 16), in.ConsumeIntegralInRange(1, 16),
                                                              variant.format()));
                nb::test::fill_test_frame(*layers.back(), in.ConsumeIntegralInRange(0, 99));
                frame.extra[index] = layers.back().get();
            }
            break;
        default: break;
        }
    }
    for (int64_t y = 0; y < height; ++y) in.ConsumeData(input.row(y), static_cast<size_t>(width * variant.format().pixel_bytes()));
    if (rig.session.render(frame, path) == PF_Err_NONE && rig.session.outstanding_checkouts() != 0) __builtin_trap();
    return 0;
}
