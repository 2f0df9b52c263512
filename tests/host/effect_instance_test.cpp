// The PF_InData an effect instance hands to the plug-in, and its interaction callbacks.
#include "host/effect_instance.h"

#include <gtest/gtest.h>

#include <cstring>

namespace nb::host {
namespace {

TEST(EffectInstance, InDataNamesTheHostAndItsServices) {
    Headless_Host host(2);
    Effect_Settings settings;
    settings.appl_id = app_id_premiere;
    Effect_Instance effect(host, settings);
    const PF_InData* in_data = effect.in_data();
    EXPECT_EQ(in_data->appl_id, 0x50724D72);  // 'PrMr' read as a big-endian number
    EXPECT_EQ(in_data->pica_basicP, host.basic_suite());
    EXPECT_EQ(in_data->utils, host.utils());
    EXPECT_EQ(&Effect_Instance::from(in_data->effect_ref), &effect);
}

TEST(EffectInstance, AbortCallbackIsTheHostQuery) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    PF_InData* in_data = effect.in_data();
    host.arm_abort_at(2);
    EXPECT_EQ(in_data->inter.abort(in_data->effect_ref), PF_Err_NONE);
    EXPECT_EQ(in_data->inter.abort(in_data->effect_ref), PF_Interrupt_CANCEL);
}

TEST(EffectInstance, ParametersAreAddedInOrderAndCheckedOutAsCopies) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    PF_InData* in_data = effect.in_data();
    PF_ParamDef slider{};
    slider.param_type = PF_Param_FLOAT_SLIDER;
    std::strcpy(slider.name, "radius");
    slider.u.fs_d.value = 12.5;
    EXPECT_EQ(in_data->inter.add_param(in_data->effect_ref, -1, &slider), PF_Err_NONE);
    EXPECT_EQ(in_data->inter.add_param(in_data->effect_ref, 3, &slider), PF_Err_INVALID_INDEX);
    ASSERT_EQ(effect.parameters().size(), 2u);
    PF_ParamDef checked{};
    ASSERT_EQ(in_data->inter.checkout_param(in_data->effect_ref, 1, 0, 1, 25, &checked), PF_Err_NONE);
    EXPECT_EQ(checked.u.fs_d.value, 12.5);
    EXPECT_EQ(effect.checked_out(), 1);
    EXPECT_EQ(in_data->inter.checkin_param(in_data->effect_ref, &checked), PF_Err_NONE);
    EXPECT_EQ(effect.checked_out(), 0);
    EXPECT_EQ(in_data->inter.checkout_param(in_data->effect_ref, 2, 0, 1, 25, &checked), PF_Err_INVALID_INDEX);
}

}  // namespace
}  // namespace nb::host
