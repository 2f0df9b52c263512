// Tests of blurmond-render's command-line parsing: what each option sets and what is refused.
#include "tools/render_options.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/tool_error.h"

namespace nb::tools {
namespace {

struct Parse_Case {
    const char* name;
    std::vector<std::string> args;
    std::function<bool(const Render_Options&)> holds;
};

class RenderOptionsParse : public testing::TestWithParam<Parse_Case> {};

TEST_P(RenderOptionsParse, SetsWhatTheOptionSays) {
    const Parse_Case& c = GetParam();
    EXPECT_TRUE(c.holds(parse_render_options(c.args))) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Options, RenderOptionsParse,
    testing::Values(
        Parse_Case{"Defaults", {"a.exr", "b.exr"},
                   [](const Render_Options& o) {
                       return o.command == Render_Command::render && o.input == "a.exr" && o.output == "b.exr" &&
                              o.host == Render_Host::after_effects && o.depth == 0 && o.downsample == 1 &&
                              o.threads == 0 && !o.legacy && !o.timing && !o.frames && o.plugin.empty();
                   }},
        Parse_Case{"Everything", {"--host", "premiere", "--depth", "16", "--downsample", "4", "--threads", "3",
                                  "--legacy", "--timing", "--frames", "2-9", "--plugin", "p.so", "a.#.exr", "--set",
                                  "radius=3", "b.#.exr", "--set", "radius=4"},
                   [](const Render_Options& o) {
                       return o.host == Render_Host::premiere && o.depth == 16 && o.downsample == 4 && o.threads == 3 &&
                              o.legacy && o.timing && o.frames == Frame_Range{2, 9} && o.plugin == "p.so" &&
                              o.input == "a.#.exr" && o.output == "b.#.exr" &&
                              o.settings == std::vector<std::string>{"radius=3", "radius=4"};
                   }},
        Parse_Case{"Demo", {"--demo", "out/demo.png"},
                   [](const Render_Options& o) { return o.command == Render_Command::demo && o.output == "out/demo.png"; }},
        Parse_Case{"ListParams", {"--list-params", "--host", "premiere"},
                   [](const Render_Options& o) {
                       return o.command == Render_Command::list_params && o.host == Render_Host::premiere;
                   }},
        Parse_Case{"HelpWinsOverMissingFiles", {"--help"},
                   [](const Render_Options& o) { return o.command == Render_Command::help; }}),
    [](const auto& info) { return std::string(info.param.name); });

struct Refusal_Case {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

class RenderOptionsRefusal : public testing::TestWithParam<Refusal_Case> {};

TEST_P(RenderOptionsRefusal, NamesTheProblemInOneLine) {
    const Refusal_Case& c = GetParam();
    try {
        parse_render_options(c.args);
        ADD_FAILURE() << c.name << " was accepted";
    } catch (const Tool_Error& error) {
        const std::string what = error.what();
        EXPECT_NE(what.find(c.message), std::string::npos) << c.name << ": " << what;
        EXPECT_EQ(what.find('\n'), std::string::npos) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RenderOptionsRefusal,
    testing::Values(Refusal_Case{"UnknownOption", {"--thread", "2", "a", "b"}, "did you mean: --threads?"},
                    Refusal_Case{"MissingValue", {"a", "b", "--depth"}, "--depth needs a value"},
                    Refusal_Case{"ZeroDownsample", {"--downsample", "0", "a", "b"}, "from 1 to 64"},
                    Refusal_Case{"NonNumericThreads", {"--threads", "2x", "a", "b"}, "'2x'"},
                    Refusal_Case{"BackwardsFrames", {"--frames", "9-2", "a", "b"}, "9-2"},
                    Refusal_Case{"OneFile", {"a.exr"}, "INPUT and OUTPUT"},
                    Refusal_Case{"DemoWithInput", {"--demo", "d.png", "extra.png"}, "extra.png"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nb::tools
