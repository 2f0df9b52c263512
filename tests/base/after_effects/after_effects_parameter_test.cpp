// The control operations every bound parameter shares, value checkout and its failures, and the
// animation query through the AEGP suites.
#include "base/after_effects/after_effects_parameter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/after_effects/helper/ae_host.h"
#include "base/exception.h"
#include "host/host_aegp_suites.h"
#include "tests/support/ae_binding_rig.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

// One float at host index 1 with the given description changes.
template <class Change>
std::unique_ptr<Float_Parameter> bound_float(test::Ae_Binding_Rig& rig, Change change) {
    return rig.set_up_and_bind([&](Parameter_Factory& factory) {
        Float_Parameter_Description description("amount", "", 1);
        description.default_value = 0.25;
        change(description);
        return factory.create_float(description);
    });
}

std::unique_ptr<Float_Parameter> bound_float(test::Ae_Binding_Rig& rig) {
    return bound_float(rig, [](Float_Parameter_Description&) {});
}

class AfterEffectsParameter : public ::testing::Test {
protected:
    const std::vector<host::Parameter_Ui_Update>& updates() { return rig.effect().parameter_state().ui_updates(); }

    test::Log_Sandbox log;
    test::Ae_Binding_Rig rig;
};

TEST_F(AfterEffectsParameter, EnablingAndShowingFlipOneFlagAndRefresh) {
    auto amount = bound_float(rig);
    Parameter& parameter = *amount;
    struct Step {
        void (*apply)(Parameter&);
        PF_ParamUIFlags ui_flags;
    };
    const Step steps[] = {
        {[](Parameter& p) { p.set_enabled(false); }, PF_PUI_DISABLED},
        {[](Parameter& p) { p.set_visible(false); }, PF_PUI_DISABLED | PF_PUI_INVISIBLE},
        {[](Parameter& p) { p.set_enabled(true); }, PF_PUI_INVISIBLE},
        {[](Parameter& p) { p.set_visible(true); }, 0},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].apply(parameter);
        EXPECT_EQ(rig.command_record(1).ui_flags, steps[i].ui_flags) << "step " << i;
        ASSERT_EQ(updates().size(), i + 1);
        EXPECT_EQ(updates().back().index, 1);
        EXPECT_EQ(updates().back().record.ui_flags, steps[i].ui_flags) << "step " << i;
        EXPECT_EQ(rig.stored(1).ui_flags, steps[i].ui_flags) << "the host took the refresh over, step " << i;
    }
    EXPECT_EQ(rig.command_record(1).uu.change_flags & PF_ChangeFlag_CHANGED_VALUE, 0);
}

TEST_F(AfterEffectsParameter, RenamingAndExpandingAlsoMarkTheValue) {
    auto amount = bound_float(rig);
    amount->set_name("a new name that runs past the host's limit");
    EXPECT_STREQ(rig.command_record(1).name, "a new name that runs past the h");
    amount->set_expanded(true);
    EXPECT_EQ(rig.command_record(1).flags & PF_ParamFlag_COLLAPSE_TWIRLY, 0);
    EXPECT_EQ(updates().size(), 2u);
    EXPECT_NE(rig.command_record(1).uu.change_flags & PF_ChangeFlag_CHANGED_VALUE, 0);
    amount->set_expanded(false);
    EXPECT_NE(rig.command_record(1).flags & PF_ParamFlag_COLLAPSE_TWIRLY, 0);
}

TEST_F(AfterEffectsParameter, InterfaceOnlyControlsReadTheCallsRecordAndRefreshTwice) {
    auto control = bound_float(rig, [](Float_Parameter_Description& d) { d.interface_only = true; });
    rig.command_record(1).u.fs_d.value = 0.75;  // what the host passed with this command
    EXPECT_EQ(control->value(), 0.75);
    EXPECT_EQ(rig.host().faults().calls("checkout_param"), 0);
    control->set_expanded(true);
    EXPECT_EQ(updates().size(), 2u);
    control->set_value(0.5);
    EXPECT_EQ(updates().size(), 3u);
    EXPECT_EQ(updates().back().record.u.fs_d.value, 0.5);
    EXPECT_EQ(rig.command_record(1).uu.change_flags & PF_ChangeFlag_CHANGED_VALUE, 0);
}

TEST_F(AfterEffectsParameter, FailedCheckoutNamesTheCheckoutEvenForACancel) {
    auto amount = bound_float(rig);
    for (PF_Err error : {PF_Interrupt_CANCEL, PF_Err_INVALID_INDEX}) {
        rig.host().faults().inject("checkout_param", error, 1);
        EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { amount->value(); }, "PF_CHECKOUT_PARAM() failed",
                                                               error));
    }
}

TEST_F(AfterEffectsParameter, RefreshFailuresAreThrown) {
    auto amount = bound_float(rig);
    rig.host().faults().inject("PF_UpdateParamUI", PF_Interrupt_CANCEL, 1);
    EXPECT_THROW(amount->set_enabled(false), Exception_Abort);
    rig.host().faults().inject("PF_UpdateParamUI", PF_Err_BAD_CALLBACK_PARAM, 1);
    EXPECT_THROW(amount->set_enabled(false), Exception_After_Effects);
    rig.host().withdraw_suite(kPFParamUtilsSuite, 2);
    EXPECT_THROW(amount->set_visible(false), Exception_Ae_Suite);

    // Without the call's records there is nothing to refresh.
    Parameter_Factory_After_Effects factory(rig.in_data(), nullptr, nullptr);
    EXPECT_THROW(factory.create_float(Float_Parameter_Description("b", "", 2))->set_enabled(false), Exception_Assert);
}

TEST_F(AfterEffectsParameter, FailedCheckInIsLoggedAndTheValueStillReturned) {
    auto amount = bound_float(rig);
    rig.host().faults().inject("checkin_param", PF_Err_INTERNAL_STRUCT_DAMAGED, 1);
    EXPECT_EQ(amount->value(), 0.25);
    EXPECT_EQ(rig.effect().checked_out(), 1);  // the host kept it: one check-in was tried, no more
    rig.expect_leftovers();
}

class AfterEffectsParameterAnimation : public AfterEffectsParameter {
protected:
    void SetUp() override { aegp_plugin_id = 17; }
    void TearDown() override { aegp_plugin_id = 0; }
};

TEST_F(AfterEffectsParameterAnimation, KeyframesOrAnExpressionAnimate) {
    auto amount = bound_float(rig);
    struct Case {
        A_long keyframes;
        bool expression, animated;
    };
    for (const Case& c : {Case{0, false, false}, Case{2, false, true}, Case{0, true, true}, Case{1, true, true}}) {
        rig.effect().parameter_state().set_animation(1, c.keyframes, c.expression);
        EXPECT_EQ(amount->is_animated(), c.animated) << c.keyframes << " keyframes, expression " << c.expression;
    }
    EXPECT_EQ(rig.host().aegp_suites().last_plugin_id(), 17);
}

TEST_F(AfterEffectsParameterAnimation, FailuresThrowAndHandlesAreStillDisposedOf) {
    auto amount = bound_float(rig);
    for (const char* call : {"AEGP_GetNewEffectForEffect", "AEGP_GetNewEffectStreamByIndex", "AEGP_GetStreamNumKFs",
                             "AEGP_IsStreamTimevarying"}) {
        rig.host().faults().inject(call, A_Err_GENERIC, 1);
        EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { amount->is_animated(); },
                                                               "After Effects Suite Error (A_Err)", A_Err_GENERIC))
            << call;
        EXPECT_EQ(rig.host().aegp_suites().live_streams(), 0) << call;
        EXPECT_EQ(rig.host().aegp_suites().live_effects(), 0) << call;
    }
}

TEST_F(AfterEffectsParameterAnimation, RefusedDisposalIsLoggedNotThrown) {
    auto amount = bound_float(rig);
    rig.host().faults().inject("AEGP_DisposeStream", A_Err_PARAMETER, 1);
    EXPECT_NO_THROW(amount->is_animated());
    EXPECT_EQ(log_instance().remembered().back(), "-**### WARNING ###**-: AEGP_DisposeStream failed. Error code: 3\n");
    EXPECT_EQ(rig.host().aegp_suites().live_effects(), 0);
    rig.expect_leftovers();  // the host kept the stream it refused to dispose of
}

TEST_F(AfterEffectsParameterAnimation, EverySuiteIsRequired) {
    const std::pair<const char*, int32_t> suites[] = {
        {kAEGPStreamSuite, 10}, {kAEGPEffectSuite, 3}, {kAEGPPFInterfaceSuite, 1}, {kAEGPKeyframeSuite, 4}};
    for (const auto& [name, version] : suites) {
        test::Ae_Binding_Rig lacking;
        auto amount = bound_float(lacking);
        lacking.host().withdraw_suite(name, version);
        EXPECT_THROW(amount->is_animated(), Exception_Ae_Suite) << name;
    }
}

}  // namespace
}  // namespace nb
