// Command lines (arguments separated by zero bytes) through the option parser, and each --set value
// onto the effect's controls: every refusal is a Tool_Error.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/blurmond_session_rig.h"
#include "tools/control_value.h"
#include "tools/render_options.h"
#include "tools/tool_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static nb::test::Blurmond_Session rig(nb::test::blurmond_variants[0], 1);
    static const nb::tools::Effect_Controls controls(rig.session.effect().parameters());
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i)
        if (data[i] == 0) args.emplace_back();
        else args.back() += static_cast<char>(data[i]);
    try {
        for (const nb::tools::Setting_Text& text : nb::tools::parse_render_options(args).settings) try {
                const auto setting = nb::tools::Control_Setting::parse(text.text);
                nb::tools::set_control_value(rig.session, controls, controls.find(setting.key), setting.value);
            } catch (const nb::tools::Tool_Error&) {
            }
    } catch (const nb::tools::Tool_Error&) {
    }
    return 0;
}
