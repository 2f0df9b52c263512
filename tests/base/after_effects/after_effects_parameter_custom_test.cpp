// A custom control's data: locked on first use, unlocked and checked in with the parameter.
#include "base/after_effects/after_effects_parameter_custom.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/after_effects/after_effects_arbitrary_data.h"
#include "tests/support/ae_binding_rig.h"

namespace nb {
namespace {

// Default data of one 32-bit word holding 42 (the control) or 7 (its interface data).
class Word_Data : public Arbitrary_Data_Functions {
public:
    explicit Word_Data(int32_t word) : word_(word) {}
    PF_Handle new_default(PF_InData* in_data) const override {
        PF_Handle handle = in_data->utils->host_new_handle(sizeof word_);
        std::memcpy(in_data->utils->host_lock_handle(handle), &word_, sizeof word_);
        in_data->utils->host_unlock_handle(handle);
        return handle;
    }

private:
    int32_t word_;
};

PF_Err accept_interface(PF_ProgPtr, PF_CustomUIInfo*) { return PF_Err_NONE; }

std::unique_ptr<Custom_Parameter> declare(Parameter_Factory& factory) {
    Custom_Parameter_Description custom("drawn", "", 1);
    custom.disc_id_gui_data = 2;
    custom.data_functions = std::make_shared<Word_Data>(42);
    custom.gui_data_functions = std::make_shared<Word_Data>(7);
    return factory.create_custom(custom);
}

// The host's stored records carry the data handles from then on, as values.
void set_up(test::Ae_Binding_Rig& rig) {
    rig.in_data()->inter.register_ui = accept_interface;
    Parameter_Factory_After_Effects factory(rig.in_data(), nullptr, nullptr);
    auto custom = declare(factory);
    PF_OutData out{};
    parameter_setup(rig.in_data(), &out, factory.parameter_list());
    for (int32_t index : {1, 2}) rig.stored(index).u.arb_d.value = rig.stored(index).u.arb_d.dephault;
}

int32_t word_at(void* data) {
    int32_t word = 0;
    std::memcpy(&word, data, sizeof word);
    return word;
}

TEST(AfterEffectsParameterCustom, DataOfTheCallsRecordsStaysLockedWhileTheParameterLives) {
    test::Ae_Binding_Rig rig;
    set_up(rig);
    Parameter_Factory_After_Effects command(rig.in_data(), rig.command_params(), nullptr);
    {
        auto custom = declare(command);
        void* data = custom->data();
        EXPECT_EQ(word_at(data), 42);
        EXPECT_EQ(custom->data(), data);  // locked once, then kept
        EXPECT_EQ(word_at(custom->gui_data()), 7);
        custom->gui_data_changed();
        EXPECT_EQ(rig.command_record(2).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
        custom->data_changed();
        EXPECT_EQ(rig.command_record(1).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
        custom->redraw();
        EXPECT_EQ(rig.effect().parameter_state().ui_updates().size(), 2u);
        EXPECT_EQ(rig.host().faults().calls("checkout_param"), 0);
    }
}

TEST(AfterEffectsParameterCustom, WithoutRecordsTheDataIsCheckedOutUntilTheParameterGoes) {
    test::Ae_Binding_Rig rig;
    set_up(rig);
    Parameter_Factory_After_Effects command(rig.in_data(), nullptr, nullptr);
    {
        auto custom = declare(command);
        EXPECT_EQ(word_at(custom->data()), 42);
        EXPECT_EQ(word_at(custom->gui_data()), 7);
        EXPECT_EQ(rig.effect().checked_out(), 2);
    }
    EXPECT_EQ(rig.effect().checked_out(), 0);
}

}  // namespace
}  // namespace nb
