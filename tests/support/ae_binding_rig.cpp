// Leak checks of the binding rig and the params arrays it hands out.
#include "tests/support/ae_binding_rig.h"

#include "host/host_aegp_suites.h"

namespace nb::test {

Ae_Binding_Rig::Ae_Binding_Rig(const host::Effect_Settings& settings)
    : host_(std::make_unique<host::Headless_Host>(1)), effect_(std::make_unique<host::Effect_Instance>(*host_, settings)) {}

Ae_Binding_Rig::~Ae_Binding_Rig() {
    if (!check_leftovers_) return;
    EXPECT_EQ(effect_->checked_out(), 0) << "parameters checked out and never checked in";
    EXPECT_EQ(host_->outstanding_suites(), 0) << "suites acquired and never released";
    EXPECT_EQ(host_->aegp_suites().live_effects(), 0) << "effect handles never disposed of";
    EXPECT_EQ(host_->aegp_suites().live_streams(), 0) << "stream handles never disposed of";
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

host::Effect_Settings premiere_settings(host::Effect_Settings settings) {
    settings.appl_id = host::app_id_premiere;
    return settings;
}

}  // namespace nb::test
