// End-to-end tests of the blurmond-render command: image files through the real plug-in binary on both
// hosts and all depths, extra layers, reduced resolution, extend, sequences, the demo and every error.
#include "tools/blurmond_render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/plugin_binary.h"
#include "tests/support/temp_folder.h"
#include "tools/image_file.h"
#include "tools/render_job.h"

namespace nb::tools {
namespace {

using Rgba = std::array<float, 4>;
using Colour_At = std::function<Rgba(int64_t, int64_t)>;

struct Command_Result {
    int code = 0;
    std::string out, err;
};

Image_Rgba filled(int64_t width, int64_t height, const Colour_At& colour) {
    Image_Rgba image(width, height);
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; ++x) {
            const Rgba c = colour(x, y);
            std::copy(c.begin(), c.end(), image.pixel(x, y));
        }
    return image;
}

Colour_At constant(Rgba c) {
    return [c](int64_t, int64_t) { return c; };
}

size_t line_count(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// One code value of the render depth covers the rounding of input and output; 8- and 16-bit results go
// to EXR as half floats, whose 11 significant bits add up to 2^-11 for values up to 1; float renders
// keep the transforms' rounding, far below 1e-4 on images this small.
double tolerance(int bits) { return bits == 32 ? 1e-4 : 1.0 / (bits == 8 ? 255.0 : 32768.0) + std::ldexp(1.0, -11); }

// Checks every pixel against an expectation (NaN components are not checked) and reports the worst.
void expect_pixels(const Image_Rgba& image, const Colour_At& expected, double tol, const std::string& what) {
    double worst = -1;
    int64_t wx = 0, wy = 0, wk = 0;
    for (int64_t y = 0; y < image.height; ++y)
        for (int64_t x = 0; x < image.width; ++x)
            for (int k = 0; k < 4; ++k) {
                const float e = expected(x, y)[k];
                const double d = std::isnan(e) ? 0.0 : std::abs(image.pixel(x, y)[k] - e);
                if (!(d <= worst)) std::tie(worst, wx, wy, wk) = std::tie(d, x, y, k);
            }
    EXPECT_LE(worst, tol) << what << ": worst pixel (" << wx << ", " << wy << ") component " << wk << " is "
                          << image.pixel(wx, wy)[wk] << ", expected " << expected(wx, wy)[wk];
}

constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();
const Rgba bright_pink{1.0f, 230.0f / 255, 230.0f / 255, 1.0f};  // HSL lightness 0.95: selected on both hosts
const Rgba dark_blue{0.2f, 0.3f, 0.4f, 1.0f};                   // lightness 0.3: never selected
const Rgba violet{100.0f / 255, 20.0f / 255, 240.0f / 255, 1.0f};
const Rgba white{1, 1, 1, 1}, black{0, 0, 0, 1};

Colour_At halves(int64_t width, Rgba left, Rgba right) {
    return [=](int64_t x, int64_t) { return x < width / 2 ? left : right; };
}

class BlurmondRender : public testing::Test {
protected:
    Command_Result run(std::vector<std::string> args, bool progress = false) {
        // First, so a case's own --plugin wins.
        args.insert(args.begin(), {"--plugin", binary.library().string(), "--threads", "2"});
        std::ostringstream out, err;
        Command_Result result;
        result.code = run_blurmond_render(args, out, err, progress);
        result.out = out.str();
        result.err = err.str();
        return result;
    }
    std::string file(const std::string& name) const { return (folder / name).string(); }
    std::string write(const std::string& name, const Image_Rgba& image) {
        write_image_file(folder / name, image, 32);
        return file(name);
    }
    Image_Rgba read(const std::string& name) const { return read_image_file(folder / name).image; }
    // Renders with the settings given as --set on each host (adding `ae_only` under After Effects) and
    // checks every pixel of the result.
    void expect_on_both_hosts(const std::vector<std::string>& args, const std::vector<std::string>& ae_only,
                              const Colour_At& expected, const std::string& what) {
        for (const std::string host : {"ae", "premiere"}) {
            std::vector<std::string> all{args};
            all.insert(all.end(), {file("out.exr"), "--host", host});
            if (host == "ae") all.insert(all.end(), ae_only.begin(), ae_only.end());
            const Command_Result r = run(all);
            ASSERT_EQ(r.code, 0) << what << " " << host << ": " << r.err;
            expect_pixels(read("out.exr"), expected, tolerance(32), what + " " + host);
        }
    }

    test::Plugin_Binary binary{false};
    test::Temp_Folder folder;
};

struct Mode_Case {
    const char* name;
    std::vector<std::string> settings;
    Colour_At input;  // on a 64 x 48 frame
    Colour_At expected;
};

const std::vector<Mode_Case>& mode_cases() {
    static const std::vector<Mode_Case> cases{
        // The iris sums to 1 and the border pixel continues the image, so a constant image stays itself.
        {"Normal", {"show=normal blur", "radius=3"}, constant(violet), constant(violet)},
        // The iris display draws a disc of radius (64/640 + 48/480) * 50 = 10 in the frame's middle;
        // the rim between 8 and 12 pixels from the centre is left out (softening, pixel centres).
        {"Iris", {"show=1"}, constant(dark_blue),
         [](int64_t x, int64_t y) {
             const double d = std::hypot(x - 32.0, y - 24.0);
             const float v = d <= 8.0 ? 1.0f : d >= 12.0 ? 0.0f : nan_value;
             return Rgba{v, v, v, 1.0f};
         }},
        // Selected pixels keep their colour, the others turn black; the preview is opaque.
        {"SelectionOverImage", {"show=highlight, selection"}, halves(64, bright_pink, dark_blue),
         halves(64, bright_pink, black)},
        {"SelectionOnly", {"show=3"}, halves(64, bright_pink, dark_blue), halves(64, white, black)},
    };
    return cases;
}

struct Variant {
    std::string host;
    int bits;
    bool legacy;
};

class BlurmondRenderModes : public BlurmondRender,
                            public testing::WithParamInterface<std::tuple<size_t, Variant>> {};

TEST_P(BlurmondRenderModes, EveryDisplayModeShowsWhatItShould) {
    const Mode_Case& c = mode_cases()[std::get<0>(GetParam())];
    const Variant& v = std::get<1>(GetParam());
    std::vector<std::string> args{write("in.exr", filled(64, 48, c.input)), file("out.exr"), "--host", v.host,
                                  "--depth", std::to_string(v.bits)};
    if (v.legacy) args.push_back("--legacy");
    for (const std::string& s : c.settings) args.insert(args.end(), {"--set", s});
    // After Effects shows the selection only when it is switched on; Premiere always selects.
    if (v.host == "ae" && std::string(c.name).starts_with("Selection")) args.insert(args.end(), {"--set", "enable=on"});
    const Command_Result result = run(args);
    ASSERT_EQ(result.code, 0) << result.err;
    const Image_Rgba out = read("out.exr");
    ASSERT_EQ(out.width, 64);
    ASSERT_EQ(out.height, 48);
    expect_pixels(out, c.expected, tolerance(v.bits), std::string(c.name) + " " + v.host + " " + std::to_string(v.bits));
}

INSTANTIATE_TEST_SUITE_P(
    ModesHostsDepths, BlurmondRenderModes,
    testing::Combine(testing::Range<size_t>(0, 4),
                     testing::Values(Variant{"ae", 8, false}, Variant{"ae", 16, false}, Variant{"ae", 32, false},
                                     Variant{"ae", 8, true}, Variant{"premiere", 8, false},
                                     Variant{"premiere", 16, false}, Variant{"premiere", 32, false})),
    [](const auto& info) {
        const Variant& v = std::get<1>(info.param);
        return std::string(mode_cases()[std::get<0>(info.param)].name) + (v.host == "ae" ? "Ae" : "Premiere") +
               std::to_string(v.bits) + (v.legacy ? "Legacy" : "");
    });

TEST_F(BlurmondRender, LayersOfTheControlsComeFromFiles) {
    const Rgba teal{0.2f, 0.5f, 0.7f, 1.0f};
    // A fully transparent result hides nothing: the composite is the background itself.
    const std::string clear = write("clear.exr", filled(24, 16, constant(Rgba{0, 0, 0, 0})));
    const std::string background = write("bg.exr", filled(24, 16, constant(teal)));
    expect_on_both_hosts({clear, "--set", "radius=2", "--set", "background_layer=" + background, "--set",
                          "background_distortion=0"},
                         {}, constant(teal), "background");
    // The layer, not the image, decides what is selected.
    const std::string in = write("in.exr", filled(32, 16, constant(dark_blue)));
    const std::string selection = write("sel.exr", filled(32, 16, halves(32, bright_pink, dark_blue)));
    expect_on_both_hosts({in, "--set", "show=3", "--set", "selection_layer=" + selection},
                         {"--set", "selection_enable=on"}, halves(32, white, black), "selection layer");
}

TEST_F(BlurmondRender, DownsampledRenderIsSmallerAndExtendGrowsTheOutputByTheBlur) {
    const std::string in = write("in.exr", filled(30, 21, constant(violet)));
    for (const std::string host : {"ae", "premiere"}) {
        ASSERT_EQ(run({in, file("out.exr"), "--host", host, "--downsample", "3", "--set", "radius=6"}).code, 0);
        const Image_Rgba out = read("out.exr");
        EXPECT_EQ(out.width, 10);
        EXPECT_EQ(out.height, 7);
        expect_pixels(out, constant(violet), tolerance(32), "downsampled " + host);
    }
    ASSERT_EQ(run({in, file("plain.exr"), "--set", "radius=5"}).code, 0);
    ASSERT_EQ(run({in, file("grown.exr"), "--set", "radius=5", "--set", "extend=on"}).code, 0);
    const Image_Rgba plain = read("plain.exr"), grown = read("grown.exr");
    EXPECT_EQ(plain.width, 30);
    EXPECT_EQ(plain.x, 0);
    EXPECT_LE(grown.x, -5) << "at least the radius on either side";
    EXPECT_EQ(grown.width, 30 - 2 * grown.x) << "grown evenly";
    EXPECT_EQ(grown.full_width(), 30) << "the frame stays the input's";
    EXPECT_LT(grown.pixel(0, grown.height / 2)[3], 0.5f) << "beyond the image the colour fades out";
}

TEST_F(BlurmondRender, SequenceRendersEveryFrameWithProgressAndStopsAtAFailedOne) {
    const auto frame_colour = [](int frame) { return constant(Rgba{0.25f * static_cast<float>(frame), 0.1f, 0.2f, 1}); };
    for (int frame = 1; frame <= 3; ++frame) write("in." + std::to_string(frame) + ".exr", filled(16, 8, frame_colour(frame)));
    const Command_Result r = run({file("in.#.exr"), file("out.###.exr"), "--frames", "1-3", "--set", "radius=2",
                                  "--timing"}, true);
    ASSERT_EQ(r.code, 0) << r.err;
    for (int frame = 1; frame <= 3; ++frame)
        expect_pixels(read("out.00" + std::to_string(frame) + ".exr"), frame_colour(frame), tolerance(32),
                      "frame " + std::to_string(frame));
    EXPECT_EQ(r.err.front(), '\r') << "the progress line is drawn in place";
    EXPECT_NE(r.err.find(" ]  0/3 frames  0:00 elapsed\r["), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("=]  3/3 frames  "), std::string::npos) << r.err;
    EXPECT_EQ(r.err.back(), '\n') << "and ended";
    // The effect's timing table of the last frame, from its header to the total line.
    EXPECT_EQ(r.out.find("duration (s)"), r.out.rfind("duration (s)")) << r.out;
    EXPECT_NE(r.out.find("fft - forward"), std::string::npos) << r.out;
    EXPECT_NE(r.out.substr(r.out.rfind('\n', r.out.size() - 2)).find("(100.00%)"), std::string::npos) << r.out;

    std::filesystem::remove(folder / "in.2.exr");
    for (int frame = 1; frame <= 3; ++frame) std::filesystem::remove(folder / ("out.00" + std::to_string(frame) + ".exr"));
    const Command_Result failed = run({file("in.#.exr"), file("out.###.exr"), "--frames", "1-3"});
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(line_count(failed.err), 1u) << failed.err;
    EXPECT_NE(failed.err.find("frame 2"), std::string::npos) << failed.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "out.001.exr")) << "frames before the failure stay";
    EXPECT_FALSE(std::filesystem::exists(folder / "out.002.exr"));
    EXPECT_FALSE(std::filesystem::exists(folder / "out.003.exr")) << "the run stops at the failed frame";
}

struct Error_Case {
    const char* name;
    std::vector<std::string> args;  // "@name" stands for that file in the test's folder
    const char* message;            // a part of the one line on standard error
};

class BlurmondRenderErrors : public BlurmondRender, public testing::WithParamInterface<Error_Case> {};

TEST_P(BlurmondRenderErrors, FailWithOneLineAndNoOutputFile) {
    const Error_Case& c = GetParam();
    write("in.exr", filled(8, 8, constant(violet)));
    std::ofstream(folder / "broken.png") << "not an image";
    std::vector<std::string> args;
    for (const std::string& a : c.args) args.push_back(a[0] == '@' ? file(a.substr(1)) : a);
    const std::vector<std::string> before = folder.entries();
    const Command_Result r = run(args);
    EXPECT_EQ(r.code, 1) << c.name;
    EXPECT_EQ(line_count(r.err), 1u) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    EXPECT_EQ(folder.entries(), before) << c.name << ": no output, no temporary file";
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, BlurmondRenderErrors,
    testing::Values(Error_Case{"MissingInput", {"@nothing.exr", "@out.exr"}, "nothing.exr"},
                    Error_Case{"UnreadableInput", {"@broken.png", "@out.png"}, "broken.png"},
                    Error_Case{"MissingFolder", {"@in.exr", "@no/out.exr"}, "does not exist"},
                    Error_Case{"MissingLayerFile", {"@in.exr", "@out.exr", "--set", "background_layer=@no.exr"}, "no.exr"},
                    Error_Case{"UnknownParameter", {"@in.exr", "@out.exr", "--set", "raduis=3"}, "did you mean: radius?"},
                    Error_Case{"OutOfRange", {"@in.exr", "@out.exr", "--set", "radius=1000"}, "valid range 0 .. 999"},
                    Error_Case{"IntOutOfRange", {"@in.exr", "@out.exr", "--set", "iris_facets=2"}, "valid range 3 .. 999"},
                    Error_Case{"BadChoice", {"@in.exr", "@out.exr", "--set", "show=blurry"}, "0 \"normal blur\""},
                    Error_Case{"BadColour", {"@in.exr", "@out.exr", "--set", "outside_color=1,2,0"}, "valid range 0 .. 1"},
                    Error_Case{"UnknownOption", {"--thread", "2", "@in.exr", "@out.exr"}, "did you mean: --threads?"},
                    Error_Case{"MissingValue", {"@in.exr", "@out.exr", "--depth"}, "--depth needs a value"},
                    Error_Case{"BadDepth", {"@in.exr", "@out.exr", "--depth", "12"}, "8, 16 or 32"},
                    Error_Case{"BadHost", {"@in.exr", "@out.exr", "--host", "nuke"}, "ae or premiere"},
                    Error_Case{"ZeroDownsample", {"@in.exr", "@out.exr", "--downsample", "0"}, "from 1 to 64"},
                    Error_Case{"OneFile", {"@in.exr"}, "INPUT and OUTPUT"},
                    Error_Case{"DemoWithInput", {"--demo", "@d.png", "@in.exr"}, "in.exr"},
                    Error_Case{"BackwardsFrames", {"@in.#.exr", "@out.#.exr", "--frames", "9-2"}, "9-2"},
                    Error_Case{"FramesWithoutPattern", {"@in.exr", "@out.exr", "--frames", "1-2"}, "patterns"},
                    Error_Case{"NotAPlugin", {"@in.exr", "@out.exr", "--plugin", "@broken.png"}, "cannot load the effect"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BlurmondRender, PluginErrorIsNamedAndLeavesNoFile) {
    const std::string in = write("in.exr", filled(16, 8, constant(violet)));
    Render_Options options = parse_render_options(std::vector<std::string>{in, file("out.exr"), "--set", "radius=3"});
    options.plugin = binary.library();
    Render_Job job(options);
    job.session().host().handles().fail_allocation_at(1);
    std::ostringstream out, err;
    try {
        render_files(job, options, out, err, false);
        ADD_FAILURE() << "the render should fail";
    } catch (const std::exception& error) {
        EXPECT_NE(std::string(error.what()).find("PF_Err_OUT_OF_MEMORY"), std::string::npos) << error.what();
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"in.exr"});
}

// The demo's scene is a night street: dark overall, opaque, with lights far above 1.0 that bloom.
TEST_F(BlurmondRender, DemoDefocusesItsNightSceneAndWritesItBeside) {
    // At 1/8 resolution the 1280 x 720 scene is 160 x 90 pixels: quick, and the settings are still checked.
    const Command_Result r = run({"--demo", file("demo.exr"), "--downsample", "8"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Image_Rgba result = read("demo.exr"), scene = read("demo_input.exr");
    ASSERT_EQ(result.width, 160);
    ASSERT_EQ(scene.height, 90);
    double sum = 0;
    float brightest = 0;
    for (size_t i = 0; i < scene.rgba.size(); ++i) {
        if (i % 4 == 3) {
            ASSERT_EQ(scene.rgba[i], 1.0f) << "alpha of pixel " << i / 4;
            continue;
        }
        ASSERT_TRUE(std::isfinite(scene.rgba[i]) && scene.rgba[i] >= 0) << "value " << i;
        sum += scene.rgba[i];
        brightest = std::max(brightest, scene.rgba[i]);
    }
    EXPECT_LT(sum / (160 * 90 * 3), 0.25);
    EXPECT_GT(brightest, 5.0f);
    EXPECT_NE(result.rgba, scene.rgba) << "the scene is defocused";
    ASSERT_EQ(run({"--demo", file("demo.png"), "--downsample", "8"}).code, 0);
    const Loaded_Image shown = read_image_file(folder / "demo_input.png");
    EXPECT_EQ(shown.bits, 8);
    // Display encoding: the sRGB curve brightens the dark parts (0.01 becomes about 0.1) and clamps lights.
    expect_pixels(shown.image, [&](int64_t x, int64_t y) {
        Rgba e{};
        for (int k = 0; k < 3; ++k) {
            const float v = std::clamp(scene.pixel(x, y)[k], 0.0f, 1.0f);
            e[k] = v <= 0.0031308f ? 12.92f * v : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
        }
        e[3] = 1;
        return e;
    }, 1.0 / 255, "display-encoded scene");
}

TEST_F(BlurmondRender, ListsEveryControlOfEitherHostAndHelps) {
    const Command_Result ae = run({"--list-params"}), premiere = run({"--list-params", "--host", "premiere"});
    ASSERT_EQ(ae.code, 0) << ae.err;
    ASSERT_EQ(premiere.code, 0) << premiere.err;
    // After Effects: 52 records less the input and 12 group starts and ends; Premiere lacks the
    // selection switch, the lightness climax and offset and the five controls of hue and of saturation.
    EXPECT_EQ(line_count(ae.out), 1u + 39u);
    EXPECT_EQ(line_count(premiere.out), 1u + 26u);
    EXPECT_NE(ae.out.find("\"facets\"                      iris_facets"), std::string::npos) << ae.out;
    EXPECT_NE(ae.out.find("0 \"normal blur\", 1 \"iris\""), std::string::npos) << ae.out;
    const Command_Result help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--frames"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace nb::tools
