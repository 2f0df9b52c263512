// A headless host with one applied effect, driven the way the host drives parameter commands: records
// added at setup, a fresh params array of copies for every later command.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "base/after_effects/after_effects_parameter_factory.h"
#include "base/after_effects/after_effects_parameter_setup.h"
#include "host/effect_instance.h"
#include "host/headless_host.h"

namespace nb::test {

// On destruction the test fails when a parameter or channel is still checked out or a suite, effect
// handle, stream handle or colour profile is still held.
class Ae_Binding_Rig {
public:
    explicit Ae_Binding_Rig(const host::Effect_Settings& settings = {});
    ~Ae_Binding_Rig();
    Ae_Binding_Rig(const Ae_Binding_Rig&) = delete;
    Ae_Binding_Rig& operator=(const Ae_Binding_Rig&) = delete;

    host::Headless_Host& host() { return *host_; }
    host::Effect_Instance& effect() { return *effect_; }
    PF_InData* in_data() { return effect_->in_data(); }
    // The record the host stores for index (0 is the input layer).
    PF_ParamDef& stored(int32_t index) { return effect_->parameter(index); }

    // A command's params array: copies of every stored record, valid until the next call.
    PF_ParamDef** command_params();
    // The copy a command got for index.
    PF_ParamDef& command_record(int32_t index) { return copies_.at(static_cast<size_t>(index)); }

    // Adds the records of what declare(factory) creates, as at PF_Cmd_PARAMS_SETUP (whose output record
    // setup_out() keeps), then declares it again
    // over a fresh command's params array and returns that second creation, bound to the command.
    // declare must create the same parameters each time.
    template <class Declare>
    auto set_up_and_bind(Declare declare) {
        {
            Parameter_Factory_After_Effects setup(in_data(), nullptr, nullptr);
            auto declared = declare(setup);
            parameter_setup(in_data(), &setup_out_, setup.parameter_list());
        }
        command_factory_ = std::make_unique<Parameter_Factory_After_Effects>(in_data(), command_params(), nullptr);
        return declare(*command_factory_);
    }

    const PF_OutData& setup_out() const { return setup_out_; }

    // Skips the leak checks, for a test that leaves something held on purpose.
    void expect_leftovers() { check_leftovers_ = false; }

private:
    std::unique_ptr<host::Headless_Host> host_;
    std::unique_ptr<host::Effect_Instance> effect_;
    std::vector<PF_ParamDef> copies_;
    std::vector<PF_ParamDef*> pointers_;
    std::unique_ptr<Parameter_Factory_After_Effects> command_factory_;
    PF_OutData setup_out_{};
    bool check_leftovers_ = true;
};

}  // namespace nb::test
