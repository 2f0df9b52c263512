// The effect's parameter set per host, and the rules that grey out the controls that do not apply.
#include "effect/blurmond_parameters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "effect/blurmond_parameters_ui.h"
#include "tests/support/memory_parameter_factory.h"

namespace nb {
namespace {

// Identifier, kind and numbers of one control: what saved projects and the sliders depend on.
std::string declaration_of(const Parameter& p) {
    std::ostringstream s;
    s.precision(17);
    s << p.description().disc_id << (p.description().start_collapsed ? " " : " open ");
    const auto ranged = [&s](const char* kind, const auto& d) {
        s << kind << " " << d.default_value << " " << d.valid_min << " " << d.valid_max << " " << d.slider_min << " "
          << d.slider_max;
        if constexpr (requires { d.precision; }) s << " " << d.precision;
    };
    if (const auto* f = dynamic_cast<const Float_Parameter*>(&p)) ranged("float", f->description());
    else if (const auto* i = dynamic_cast<const Int_Parameter*>(&p)) ranged("int", i->description());
    else if (const auto* a = dynamic_cast<const Angle_Parameter*>(&p)) ranged("angle", a->description());
    else if (const auto* c = dynamic_cast<const Checkbox_Parameter*>(&p)) s << "checkbox " << c->description().default_value;
    else if (const auto* c = dynamic_cast<const Choice_Parameter*>(&p))
        s << "choice " << c->description().default_index << " of " << c->description().entries.size();
    else if (const auto* c = dynamic_cast<const Rgba_Parameter*>(&p)) {
        const Rgba_Parameter_Description& d = c->description();
        s << "rgba " << d.red << " " << d.green << " " << d.blue << " " << d.alpha << " " << d.disc_id_alpha;
    }
    return s.str() + "\n";
}

// A changed identifier, kind, default, range or order breaks the projects saved with the effect. Should
// a change be wanted, the printed declaration shows what changed.
TEST(BlurmondParameters, DeclarationPerHostNeverChanges) {
    const std::pair<Plugin_Host, uint64_t> hosts[] = {{Plugin_Host::after_effects, 3664090928747323388ull},
                                                      {Plugin_Host::premiere, 554693216593249186ull}};
    for (const auto& [host, expected] : hosts) {
        test::Memory_Parameter_Factory factory;
        std::string text;
        for (const Parameter* p : Blurmond_Parameters(factory, host).list) text += declaration_of(*p);
        uint64_t fnv = 14695981039346656037ull;  // FNV-1a of the whole declaration
        for (const unsigned char c : text) fnv = (fnv ^ c) * 1099511628211ull;
        EXPECT_EQ(fnv, expected) << text;
    }
}

// Controls by identifier. Group ends and "show" are never greyed out.
using Ids = std::set<int64_t>;
Ids operator+(Ids a, const Ids& b) {
    a.insert(b.begin(), b.end());
    return a;
}
const Ids highlights{3, 4}, distortion{7, 8}, blur{2, 5, 6}, colored{11}, iris_shape{13, 14, 15, 16, 17, 18};
const Ids iris = Ids{9, 10, 11, 12} + iris_shape;
// After the "enable" checkbox (21); Premiere has only 22, 25, 26 and 28 of them.
const Ids selection{22, 24, 25, 26, 27, 28, 29, 31, 32, 33, 34, 35, 36, 38, 39, 40, 41, 42, 43};
const Ids outside_rules{46, 47, 48}, outside_color{49}, outside = Ids{52} + outside_rules + outside_color;
// Greyed out in every preview.
const Ids previews = blur + highlights + distortion, selection_switch{20, 21};

constexpr Plugin_Host ae = Plugin_Host::after_effects, pr = Plugin_Host::premiere;
constexpr int32_t border = assume_border_color, color = assume_color;

TEST(BlurmondParametersUi, GreysOutExactlyTheControlsThatDoNotApply) {
    const struct {
        const char* name;
        Plugin_Host host;
        int32_t show;
        bool enable, iris_layer, background, extend;
        int32_t horizontal, vertical;
        Ids disabled;  // every other control is enabled
    } cases[] = {
        {"new instance", ae, 0, false, false, false, false, border, border,
         highlights + distortion + colored + outside_color + selection},
        {"both layers, horizontal colour", ae, 0, true, true, true, false, color, border, iris_shape},
        {"extend overrides colour", ae, 0, true, false, false, true, color, color,
         distortion + colored + outside_rules + outside_color},
        {"iris", ae, 1, true, false, true, false, border, border, previews + colored + selection_switch + selection + outside},
        {"iris layer", ae, 1, false, true, false, false, border, border, previews + iris_shape + selection_switch + selection + outside},
        {"Premiere selection", pr, 2, false, false, false, false, border, border, previews + iris + outside},
        {"Premiere layers and extend", pr, 0, false, true, true, true, color, color, iris_shape + outside_rules + outside_color}};
    for (const auto& c : cases) {
        test::Memory_Parameter_Factory factory;
        const Blurmond_Parameters p(factory, c.host);
        p.show->set_value(c.show);
        if (p.selection_enable) p.selection_enable->set_value(c.enable);
        test::held(*p.alternative_iris) = c.iris_layer;
        test::held(*p.background_layer) = c.background;
        p.outside_extend->set_value(c.extend);
        p.outside_horizontal->set_value(c.horizontal);
        p.outside_vertical->set_value(c.vertical);
        update_params_ui(p, c.host);
        for (Parameter* q : p.list) {
            const int64_t id = q->description().disc_id;
            EXPECT_EQ(test::memory_of(*q).enabled(), c.disabled.count(id) == 0) << c.name << ": control " << id;
        }
    }
}

}  // namespace
}  // namespace nb
