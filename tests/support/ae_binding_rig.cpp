// Leak checks of the binding rig and the params arrays it hands out.
#include "tests/support/ae_binding_rig.h"

#include <array>

#include "host/host_aegp_suites.h"

namespace nb::test {

Ae_Binding_Rig::Ae_Binding_Rig(const host::Effect_Settings& settings)
    : host_(std::make_unique<host::Headless_Host>(1)), effect_(std::make_unique<host::Effect_Instance>(*host_, settings)) {}

Ae_Binding_Rig::~Ae_Binding_Rig() {
    if (!check_leftovers_) return;
    // Parameters checked out, suites acquired, effect and stream handles taken, and never given back.
    EXPECT_EQ((std::array<int64_t, 4>{effect_->checked_out(), host_->outstanding_suites(),
                                      host_->aegp_suites().live_effects(), host_->aegp_suites().live_streams()}),
              (std::array<int64_t, 4>{}));
}

PF_ParamDef** Ae_Binding_Rig::command_params() {
    copies_ = effect_->parameters();
    pointers_.clear();
    for (PF_ParamDef& copy : copies_) {
        // Outside the setup the union holds change flags, which a command starts without.
        copy.uu.change_flags = PF_ChangeFlag_NONE;
        pointers_.push_back(&copy);
    }
    return pointers_.data();
}

}  // namespace nb::test
