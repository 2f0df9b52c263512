// The plug-in binary through the headless host: a small frame of any size, depth, channel order and
// render path, pixels of any bits, and every control at a value within its range or far outside it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <deque>

#include "tests/support/blurmond_session_rig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Frames of at most 16 x 16 need far less than 256 MiB unless the iris spreads them wide. Given the
    // host's default of half the machine, the effect would render such a frame in gigabytes, beyond the
    // fuzzer's memory limit and for minutes under the sanitizers; within this budget it refuses up front.
    constexpr int64_t budget = int64_t{1} << 28;
    static nb::test::Blurmond_Session after_effects(nb::test::blurmond_variants[0], 1, false, budget),
        premiere(nb::test::blurmond_variants[3], 1, false, budget);
    FuzzedDataProvider in(data, size);
    const nb::test::Blurmond_Variant& variant = in.PickValueInArray(nb::test::blurmond_variants);
    nb::test::Blurmond_Session& rig = variant.premiere() ? premiere : after_effects;
    const auto path = variant.premiere() || in.ConsumeBool() ? nb::host::Render_Path::non_smart : nb::host::Render_Path::smart;
    const int64_t width = in.ConsumeIntegralInRange(1, 16), height = in.ConsumeIntegralInRange(1, 16);
    nb::host::Host_World input(width, height, variant.format()), output(width, height, variant.format());
    nb::host::Frame_Layers frame{&input, &output, {}};
    std::deque<nb::host::Host_World> layers;
    for (int32_t index = 1; index < static_cast<int32_t>(rig.session.effect().parameters().size()); ++index) {
        const PF_ParamType type = rig.session.effect().parameter(index).param_type;
        PF_ParamDefUnion& u = rig.session.effect().parameter(index).u;
        if (type == PF_Param_FLOAT_SLIDER) {
            const double any[5] = {in.ConsumeFloatingPointInRange<double>(u.fs_d.valid_min, u.fs_d.valid_max),
                                  in.ConsumeFloatingPoint<double>(), std::nan(""), HUGE_VAL, -HUGE_VAL};
            u.fs_d.value = in.PickValueInArray(any);
            // The work grows with the radius squared whatever the frame's size: under 64 pixels each run
            // stays fast (NaN, from infinities too, and negatives stay). The largest radius has its own tests.
            if (index == rig.index_of("radius")) u.fs_d.value = std::fmod(u.fs_d.value, 64.0);
        }
        if (type == PF_Param_SLIDER)
            u.sd.value = in.ConsumeBool() ? in.ConsumeIntegralInRange(u.sd.valid_min, u.sd.valid_max) : in.ConsumeIntegral<int32_t>();
        if (type == PF_Param_ANGLE) u.ad.value = in.ConsumeIntegral<PF_Fixed>();
        if (type == PF_Param_CHECKBOX) u.bd.value = in.ConsumeBool();
        if (type == PF_Param_POPUP) u.pd.value = in.ConsumeIntegralInRange<PF_ParamValue>(1, u.pd.num_choices);
        if (type == PF_Param_COLOR) in.ConsumeData(&u.cd.value, sizeof u.cd.value);
        if (type == PF_Param_LAYER && in.ConsumeBool()) {
            frame.extra[index] = &layers.emplace_back(in.ConsumeIntegralInRange(1, 16), in.ConsumeIntegralInRange(1, 16), variant.format());
            nb::test::fill_test_frame(layers.back(), in.ConsumeIntegralInRange(0, 99));
        }
    }
    for (int64_t y = 0; y < height; ++y) in.ConsumeData(input.row(y), static_cast<size_t>(width * variant.format().pixel_bytes()));
    if (rig.session.render(frame, path) == PF_Err_NONE && rig.session.outstanding_checkouts() != 0) __builtin_trap();
    return 0;
}
