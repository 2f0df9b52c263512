// End-to-end tests of the blurmond-render command: image files through the real plug-in binary on
// both hosts and all depths, extra layers, reduced resolution, sequences, extend and every error.
#include "tools/blurmond_render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <functional>
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

struct Command_Result {
    int code = 0;
    std::string out, err;
};

Image_Rgba filled(int64_t width, int64_t height, const std::function<Rgba(int64_t, int64_t)>& colour) {
    Image_Rgba image(width, height);
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; ++x) {
            const Rgba c = colour(x, y);
            std::copy(c.begin(), c.end(), image.pixel(x, y));
        }
    return image;
}

size_t line_count(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// One code value of the render depth covers the rounding of input and output; 8- and 16-bit results go
// to EXR as half floats, whose 11 significant bits add up to 2^-11 for values up to 1; float renders
// keep the transforms' rounding, far below 1e-4 on images this small.
double tolerance(int bits) {
    if (bits == 32) return 1e-4;
    return 1.0 / (bits == 8 ? 255.0 : 32768.0) + std::ldexp(1.0, -11);
}

class BlurmondRender : public testing::Test {
protected:
    Command_Result run(std::vector<std::string> args) {
        // First, so a case's own --plugin wins.
        args.insert(args.begin(), {"--plugin", binary.library().string(), "--threads", "2"});
        std::ostringstream out, err;
        Command_Result result;
        result.code = run_blurmond_render(args, out, err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }
    std::string file(const std::string& name) const { return (folder / name).string(); }
    std::string write(const std::string& name, const Image_Rgba& image, int bits = 32) {
        write_image_file(folder / name, image, bits);
        return file(name);
    }
    Image_Rgba read(const std::string& name) const { return read_image_file(folder / name).image; }

    test::Plugin_Binary binary{false};
    test::Temp_Folder folder;
};

// Checks every pixel with an expectation (NaN components are not checked); reports the worst.
void expect_pixels(const Image_Rgba& image, const std::function<Rgba(int64_t, int64_t)>& expected, double tol,
                   const std::string& what) {
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

Rgba halves(int64_t x, int64_t, int64_t width) { return x < width / 2 ? bright_pink : dark_blue; }

struct Mode_Case {
    const char* name;
    std::vector<std::string> settings;
    std::function<Rgba(int64_t, int64_t)> input;     // on a 64 x 48 frame
    std::function<Rgba(int64_t, int64_t)> expected;
};

const std::vector<Mode_Case>& mode_cases() {
    static const std::vector<Mode_Case> cases{
        // The iris sums to 1 and the border pixel continues the image, so a constant image stays itself.
        {"Normal", {"show=normal blur", "radius=3"}, [](int64_t, int64_t) { return violet; },
         [](int64_t, int64_t) { return violet; }},
        // The iris display draws a disc of radius (64/640 + 48/480) * 50 = 10 in the frame's middle;
        // the rim between 8 and 12 pixels from the centre is left out (softening, pixel centres).
        {"Iris", {"show=1"}, [](int64_t, int64_t) { return dark_blue; },
         [](int64_t x, int64_t y) {
             const double d = std::hypot(x - 32.0, y - 24.0);
             const float v = d <= 8.0 ? 1.0f : d >= 12.0 ? 0.0f : nan_value;
             return Rgba{v, v, v, 1.0f};
         }},
        // Selected pixels keep their colour, the others turn black; the preview is opaque.
        {"SelectionOverImage", {"show=highlight, selection"}, [](int64_t x, int64_t y) { return halves(x, y, 64); },
         [](int64_t x, int64_t) { return x < 32 ? bright_pink : Rgba{0, 0, 0, 1}; }},
        {"SelectionOnly", {"show=3"}, [](int64_t x, int64_t y) { return halves(x, y, 64); },
         [](int64_t x, int64_t) { return x < 32 ? Rgba{1, 1, 1, 1} : Rgba{0, 0, 0, 1}; }},
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

TEST_F(BlurmondRender, DepthsAgreeWithinTheirQuantisation) {
    const std::string in = write("in.exr", filled(40, 30, [](int64_t x, int64_t) {
                                     return x < 20 ? Rgba{1, 1, 1, 1} : Rgba{0, 0, 0, 1};
                                 }));
    const std::array<int, 3> depths{8, 16, 32};
    for (const std::string host : {"ae", "premiere"}) {
        std::array<Image_Rgba, 3> results;
        for (size_t i = 0; i < depths.size(); ++i) {
            const std::string bits = std::to_string(depths[i]);
            ASSERT_EQ(run({in, file("out.exr"), "--host", host, "--depth", bits, "--set", "radius=4"}).code, 0);
            results[i] = read("out.exr");
        }
        const Image_Rgba& reference = results[2];
        const auto expected = [&](int64_t x, int64_t y) {
            const float* p = reference.pixel(x, y);
            return Rgba{p[0], p[1], p[2], p[3]};
        };
        for (size_t i = 0; i < 2; ++i) {
            ASSERT_EQ(results[i].rgba.size(), reference.rgba.size());
            expect_pixels(results[i], expected, tolerance(depths[i]) + tolerance(32),
                          host + " " + std::to_string(depths[i]) + " bits");
        }
    }
}

TEST_F(BlurmondRender, BackgroundShowsThroughTransparentParts) {
    const Rgba teal{0.2f, 0.5f, 0.7f, 1.0f};
    const std::string in = write("in.exr", filled(24, 16, [](int64_t, int64_t) { return Rgba{0, 0, 0, 0}; }));
    const std::string bg = write("bg.exr", filled(24, 16, [&](int64_t, int64_t) { return teal; }));
    for (const std::string host : {"ae", "premiere"}) {
        const Command_Result r = run({in, file("out.exr"), "--host", host, "--set", "radius=2", "--set",
                                      "background_layer=" + bg, "--set", "background_distortion=0"});
        ASSERT_EQ(r.code, 0) << r.err;
        // A fully transparent result hides nothing: the composite is the background itself.
        expect_pixels(read("out.exr"), [&](int64_t, int64_t) { return teal; }, tolerance(32), "background " + host);
    }
}

TEST_F(BlurmondRender, AlternativeIrisShowsInColourOnlyWhenAskedTo) {
    const std::string in = write("in.exr", filled(32, 32, [](int64_t, int64_t) { return dark_blue; }));
    const std::string iris = write("iris.exr", filled(9, 9, [](int64_t x, int64_t y) {
                                       return std::abs(x - 4) + std::abs(y - 4) <= 3 ? Rgba{1, 0.2f, 0.2f, 1} : Rgba{0, 0, 0, 1};
                                   }));
    for (const bool colored : {false, true}) {
        const Command_Result r = run({in, file("out.exr"), "--set", "show=iris", "--set", "alternative_iris=" + iris,
                                      "--set", std::string("colored_iris=") + (colored ? "on" : "off")});
        ASSERT_EQ(r.code, 0) << r.err;
        const Image_Rgba out = read("out.exr");
        double reddest = 0, brightest = 0;
        for (int64_t y = 0; y < out.height; ++y)
            for (int64_t x = 0; x < out.width; ++x) {
                reddest = std::max<double>(reddest, out.pixel(x, y)[0] - out.pixel(x, y)[1]);
                brightest = std::max<double>(brightest, out.pixel(x, y)[1]);
            }
        EXPECT_GT(brightest, 0.05) << "the iris is drawn, colored " << colored;
        if (colored) {
            EXPECT_GT(reddest, 0.1) << "the red iris keeps its colour";
        } else {
            EXPECT_LT(reddest, 1e-4) << "without colour the iris is grey";
        }
    }
}

TEST_F(BlurmondRender, SelectionLayerDecidesWhatIsSelected) {
    const std::string in = write("in.exr", filled(32, 16, [](int64_t, int64_t) { return dark_blue; }));
    const std::string layer = write("sel.exr", filled(32, 16, [](int64_t x, int64_t y) { return halves(x, y, 32); }));
    for (const std::string host : {"ae", "premiere"}) {
        std::vector<std::string> args{in, file("out.exr"), "--host", host, "--set", "show=3", "--set", "selection_layer=" + layer};
        if (host == "ae") args.insert(args.end(), {"--set", "selection_enable=on"});
        ASSERT_EQ(run(args).code, 0);
        expect_pixels(read("out.exr"), [](int64_t x, int64_t) { return x < 16 ? Rgba{1, 1, 1, 1} : Rgba{0, 0, 0, 1}; },
                      tolerance(32), "selection layer " + host);
    }
}

TEST_F(BlurmondRender, DownsampledRenderIsSmallerAndKeepsAConstantImage) {
    const std::string in = write("in.exr", filled(30, 21, [](int64_t, int64_t) { return violet; }));
    for (const std::string host : {"ae", "premiere"}) {
        ASSERT_EQ(run({in, file("out.exr"), "--host", host, "--downsample", "3", "--set", "radius=6"}).code, 0);
        const Image_Rgba out = read("out.exr");
        EXPECT_EQ(out.width, 10);
        EXPECT_EQ(out.height, 7);
        expect_pixels(out, [](int64_t, int64_t) { return violet; }, tolerance(32), "downsampled " + host);
    }
}

TEST_F(BlurmondRender, ExtendGrowsTheOutputByTheBlur) {
    const std::string in = write("in.exr", filled(20, 12, [](int64_t, int64_t) { return violet; }));
    ASSERT_EQ(run({in, file("plain.exr"), "--set", "radius=5"}).code, 0);
    ASSERT_EQ(run({in, file("grown.exr"), "--set", "radius=5", "--set", "extend=on"}).code, 0);
    const Image_Rgba plain = read("plain.exr"), grown = read("grown.exr");
    EXPECT_EQ(plain.width, 20);
    EXPECT_EQ(plain.x, 0);
    EXPECT_GE(grown.width, 30) << "at least the radius on either side";
    EXPECT_LE(grown.x, -5);
    EXPECT_EQ(grown.width, 20 - 2 * grown.x) << "grown evenly";
    EXPECT_EQ(grown.full_width(), 20) << "the frame stays the input's";
    // Beyond the image the colour fades out: the outermost column is far from opaque.
    EXPECT_LT(grown.pixel(0, grown.height / 2)[3], 0.5f);
}

TEST_F(BlurmondRender, SequenceRendersEveryFrameAndStopsAtAFailedOne) {
    for (int frame = 1; frame <= 3; ++frame)
        write("in." + std::to_string(frame) + ".exr", filled(16, 8, [&](int64_t, int64_t) {
                  return Rgba{0.25f * static_cast<float>(frame), 0.1f, 0.2f, 1};
              }));
    ASSERT_EQ(run({file("in.#.exr"), file("out.###.exr"), "--frames", "1-3", "--set", "radius=2"}).code, 0);
    for (int frame = 1; frame <= 3; ++frame)
        expect_pixels(read("out.00" + std::to_string(frame) + ".exr"),
                      [&](int64_t, int64_t) { return Rgba{0.25f * static_cast<float>(frame), 0.1f, 0.2f, 1}; },
                      tolerance(32), "frame " + std::to_string(frame));

    std::filesystem::remove(folder / "in.2.exr");
    for (int frame = 1; frame <= 3; ++frame) std::filesystem::remove(folder / ("out.00" + std::to_string(frame) + ".exr"));
    const Command_Result r = run({file("in.#.exr"), file("out.###.exr"), "--frames", "1-3"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(line_count(r.err), 1u) << r.err;
    EXPECT_NE(r.err.find("frame 2"), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "out.001.exr")) << "frames before the failure stay";
    EXPECT_FALSE(std::filesystem::exists(folder / "out.002.exr"));
    EXPECT_FALSE(std::filesystem::exists(folder / "out.003.exr")) << "the run stops at the failed frame";
}

TEST_F(BlurmondRender, TimingPrintsTheEffectsTable) {
    const std::string in = write("in.exr", filled(16, 8, [](int64_t, int64_t) { return violet; }));
    const Command_Result r = run({in, file("out.exr"), "--set", "radius=2", "--timing"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("duration (s)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("fft - forward"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(100.00%)"), std::string::npos) << "the total line ends the table";
}

struct Error_Case {
    const char* name;
    std::vector<std::string> args;  // "@name" stands for that file in the test's folder
    const char* message;            // a part of the one line on standard error
};

class BlurmondRenderErrors : public BlurmondRender, public testing::WithParamInterface<Error_Case> {};

TEST_P(BlurmondRenderErrors, FailWithOneLineAndNoOutputFile) {
    const Error_Case& c = GetParam();
    write("in.exr", filled(8, 8, [](int64_t, int64_t) { return violet; }));
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
                    Error_Case{"MissingLayerFile", {"@in.exr", "@out.exr", "--set", "background_layer=@no.exr"}, "no.exr"},
                    Error_Case{"UnknownParameter", {"@in.exr", "@out.exr", "--set", "raduis=3"}, "did you mean: radius?"},
                    Error_Case{"OutOfRange", {"@in.exr", "@out.exr", "--set", "radius=1000"}, "valid range 0 .. 999"},
                    Error_Case{"IntOutOfRange", {"@in.exr", "@out.exr", "--set", "iris_facets=2"}, "valid range 3 .. 999"},
                    Error_Case{"BadChoice", {"@in.exr", "@out.exr", "--set", "show=blurry"}, "0 \"normal blur\""},
                    Error_Case{"BadColour", {"@in.exr", "@out.exr", "--set", "outside_color=1,2,0"}, "valid range 0 .. 1"},
                    Error_Case{"BadDepth", {"@in.exr", "@out.exr", "--depth", "12"}, "8, 16 or 32"},
                    Error_Case{"BadHost", {"@in.exr", "@out.exr", "--host", "nuke"}, "ae or premiere"},
                    Error_Case{"NotAPlugin", {"@in.exr", "@out.exr", "--plugin", "@broken.png"}, "cannot load the effect"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BlurmondRender, PluginErrorIsNamedAndLeavesNoFile) {
    const std::string in = write("in.exr", filled(16, 8, [](int64_t, int64_t) { return violet; }));
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

TEST_F(BlurmondRender, DemoWritesItsResultAndInputBesideIt) {
    // At 1/8 resolution the 1280 x 720 scene is 160 x 90 pixels: quick, and the settings are still checked.
    const Command_Result r = run({"--demo", file("demo.png"), "--downsample", "8"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Loaded_Image result = read_image_file(folder / "demo.png"), input = read_image_file(folder / "demo_input.png");
    EXPECT_EQ(result.bits, 8);
    EXPECT_EQ(result.image.width, 160);
    EXPECT_EQ(input.image.height, 90);
    EXPECT_NE(result.image.rgba, input.image.rgba) << "the scene is defocused";
}

TEST_F(BlurmondRender, ListsEveryControlOfEitherHost) {
    const Command_Result ae = run({"--list-params"}), premiere = run({"--list-params", "--host", "premiere"});
    ASSERT_EQ(ae.code, 0) << ae.err;
    ASSERT_EQ(premiere.code, 0) << premiere.err;
    // After Effects: 52 records less the input and 12 group starts and ends; Premiere lacks the
    // selection switch, the lightness climax and offset and the five controls of hue and of saturation.
    EXPECT_EQ(line_count(ae.out), 1u + 39u);
    EXPECT_EQ(line_count(premiere.out), 1u + 26u);
    EXPECT_NE(ae.out.find("\"facets\"                      iris_facets"), std::string::npos) << ae.out;
    EXPECT_NE(premiere.out.find("\"Iris\""), std::string::npos);
    EXPECT_NE(ae.out.find("0 \"normal blur\", 1 \"iris\""), std::string::npos);
}

}  // namespace
}  // namespace nb::tools
