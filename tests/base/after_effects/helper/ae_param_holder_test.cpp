// A held parameter record: checked in with its last holder, a refused check-in only logged.
#include "base/after_effects/helper/ae_param_holder.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/ae_binding_rig.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

std::unique_ptr<PF_ParamDef> checked_out(test::Ae_Binding_Rig& rig) {
    auto def = std::make_unique<PF_ParamDef>();
    EXPECT_EQ(rig.in_data()->inter.checkout_param(rig.in_data()->effect_ref, 0, 0, 1, 25, def.get()), PF_Err_NONE);
    return def;
}

TEST(AeParamHolder, CheckedInWhenTheLastHolderLetsGo) {
    test::Ae_Binding_Rig rig;
    auto held = hold_checked_out_param(rig.in_data(), checked_out(rig));
    auto copy = held;
    held.reset();
    EXPECT_EQ(rig.effect().checked_out(), 1);
    copy.reset();
    EXPECT_EQ(rig.effect().checked_out(), 0);
}

TEST(AeParamHolder, RefusedCheckInIsLoggedAndSwallowed) {
    test::Log_Sandbox log;
    test::Ae_Binding_Rig rig;
    rig.host().faults().inject("checkin_param", PF_Err_INTERNAL_STRUCT_DAMAGED, 1);
    EXPECT_NO_THROW(hold_checked_out_param(rig.in_data(), checked_out(rig)).reset());
    EXPECT_EQ(log_instance().remembered().back(),
              "-**### WARNING ###**-: PF_CHECKIN_PARAM() failed in AE_Param destructor. Error code: 512\n");
    EXPECT_EQ(rig.host().faults().calls("checkin_param"), 1);
    rig.expect_leftovers();  // the host refused to take the record back
}

}  // namespace
}  // namespace nb
