// The render pipeline's display modes: which kernels run, with what settings, on which layers.
#include "effect/blurmond_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/exception.h"
#include "kernel/kernel_draw_iris_cpu.h"
#include "tests/support/image_compare.h"
#include "tests/support/memory_parameter_factory.h"
#include "tests/support/pipeline_rig.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

using test::memory_of;
using Labels = std::vector<std::string>;

// One frame rendered through the pipeline with its own parameters, images and kernel spy.
template <class P>
class Render {
public:
    explicit Render(int64_t width, int64_t height, Plugin_Host host = Plugin_Host::after_effects)
        : host_(host), parameters(factory_, host), source(width, height), output(width, height),
          frame(test::frame_of(width, height)) {}

    void run() {
        test::Test_Host test_host(2);
        blurmond_pipeline<P>(make_host_context(host_), test::frame_context(frame), spy.watch(test_host.context()),
                             parameters, source.typeless(), output.typeless(), extra_layers);
    }

    void choose(const Layer_Parameter& control, const test::Owned_Image<P>& image) {
        extra_layers[control.description().key] = image.typeless();
    }
    // The control names a layer, but the host delivered no pixels.
    void choose_empty(const Layer_Parameter& control) { extra_layers[control.description().key] = Layer_Typeless{}; }

private:
    Plugin_Host host_;
    test::Memory_Parameter_Factory factory_;

public:
    Blurmond_Parameters parameters;
    test::Owned_Image<P> source;
    test::Owned_Image<P> output;
    Layer_Description frame;
    Extra_Layers extra_layers;
    test::Kernel_Spy spy;
};

Pixel_Argb_8 argb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) { return Pixel_Argb_8{{a, r, g, b}}; }

// A pattern with bright, dark and half-transparent pixels, so selections and weights differ per pixel.
void fill_pattern(test::Owned_Image<Pixel_Argb_8>& image) {
    for (int64_t y = 0; y < image.height(); ++y)
        for (int64_t x = 0; x < image.width(); ++x) {
            Pixel_Argb_8& p = image.at(x, y);
            p.r() = static_cast<uint8_t>((x * 37 + y * 11) % 256);
            p.g() = static_cast<uint8_t>((x * 13 + y * 71) % 256);
            p.b() = static_cast<uint8_t>((x * 5 + y * 29 + 100) % 256);
            p.a() = static_cast<uint8_t>(x % 4 == 0 ? 128 : 255);
        }
}

template <class P>
void expect_same(const test::Owned_Image<P>& actual, const test::Owned_Image<P>& expected, const std::string& what) {
    const test::Worst_Difference worst = test::worst_difference(actual.layer(), expected.layer());
    EXPECT_EQ(worst.difference, 0.0) << what << ": " << worst.describe();
}

// ---- normal blur ----

TEST(BlurmondPipeline, NoBackgroundLayerMeansNoDistortion) {
    for (const bool chosen_but_empty : {false, true}) {
        Render<Pixel_Argb_8> render(16, 12);
        render.parameters.radius->set_value(3.0);
        render.parameters.background_distortion->set_value(50.0);
        if (chosen_but_empty) render.choose_empty(*render.parameters.background_layer);
        render.run();
        EXPECT_EQ(render.spy.count("blurmond"), 1) << "chosen but empty " << chosen_but_empty;
        EXPECT_EQ(render.spy.count("refraction preperation"), 0) << "chosen but empty " << chosen_but_empty;
        EXPECT_EQ(render.spy.count("refraction"), 0) << "chosen but empty " << chosen_but_empty;
    }
}

// A transparent source blurs to a transparent image; its alpha is flat, so the background shows through
// undisplaced and every output pixel is the background pixel at the same place.
TEST(BlurmondPipeline, BackgroundShowsThroughAfterTheBlur) {
    Render<Pixel_Argb_8> render(16, 12);
    render.parameters.radius->set_value(3.0);
    render.parameters.background_distortion->set_value(50.0);
    test::Owned_Image<Pixel_Argb_8> background(16, 12);
    fill_pattern(background);
    for (int64_t y = 0; y < 12; ++y)
        for (int64_t x = 0; x < 16; ++x) background.at(x, y).a() = 255;
    render.choose(*render.parameters.background_layer, background);
    render.run();

    expect_same(render.output, background, "background behind a transparent blur");
    const Labels labels = render.spy.labels();
    const auto at = [&labels](const std::string& label) {
        return std::find(labels.begin(), labels.end(), label) - labels.begin();
    };
    EXPECT_EQ(render.spy.count("refraction preperation"), 1);
    EXPECT_EQ(render.spy.count("refraction"), 1);
    EXPECT_LT(at("blurmond"), at("refraction preperation"));
    EXPECT_LT(at("refraction preperation"), at("refraction"));
}

// An opaque constant image stays opaque under the border rule; "extend" continues it as transparent
// black, so the blur lets the corners go partly transparent.
TEST(BlurmondPipeline, ExtendLetsTheBlurFadeOutAtTheEdges) {
    for (const bool extend : {false, true}) {
        Render<Pixel_Argb_8> render(16, 12);
        render.parameters.radius->set_value(4.0);
        render.parameters.outside_extend->set_value(extend);
        for (int64_t y = 0; y < 12; ++y)
            for (int64_t x = 0; x < 16; ++x) render.source.at(x, y) = argb(255, 200, 100, 50);
        render.run();
        if (extend)
            EXPECT_LT(render.output.at(0, 0).a(), 255);
        else
            EXPECT_EQ(render.output.at(0, 0).a(), 255);
    }
}

// ---- iris preview ----

// Expected record worked by hand for a 64 x 48 frame at full resolution:
// radius (64 / 640 + 48 / 480) x 50 = 10; soften 4 x 3 x 10 / (64 + 48) = 120 / 112; angle -30 degrees.
TEST(BlurmondPipeline, IrisPreviewDrawsTheShapeAtThePreviewRadius) {
    Render<Pixel_Argb_8> render(64, 48);
    const Blurmond_Parameters& p = render.parameters;
    p.show->set_value(show_iris);
    p.radius->set_value(3.0);  // the blur radius plays no part in the preview
    p.iris_soften->set_value(3.0);
    memory_of(*p.iris_angle).set(30.0);
    memory_of(*p.iris_facets).set(6);
    p.iris_rounded->set_value(0.25);
    p.iris_border_thickness->set_value(0.3);
    p.iris_border_brightness->set_value(0.5);
    p.iris_aspect->set_value(0.1);
    render.run();

    test::Owned_Image<Pixel_Argb_8> expected(64, 48);
    Kernel_Draw_Iris<Layer<Pixel_Argb_8>> draw;
    draw.in.out = expected.layer();
    draw.in.radius = 10.0f;
    draw.in.rounded = 0.25f;
    draw.in.border_thickness = 0.3f;
    draw.in.border_brightness = 0.5f;
    draw.in.aspect = 0.1f;
    draw.in.angle = -0.52359878f;
    draw.in.facets = 6;
    draw.in.soften = 120.0f / 112.0f;
    test::Test_Host host(1);
    draw.run(host.context());

    expect_same(render.output, expected, "iris preview");
    EXPECT_EQ(render.spy.count("draw iris"), 1);
    EXPECT_EQ(render.spy.count("Copy"), 0);
    EXPECT_EQ(render.spy.count("make solid"), 0);
}

TEST(BlurmondPipeline, ImageIrisPreviewIsGrayUnlessColoured) {
    for (const bool colored : {false, true}) {
        Render<Pixel_Argb_8> render(32, 24);
        render.parameters.show->set_value(show_iris);
        render.parameters.colored_iris->set_value(colored);
        test::Owned_Image<Pixel_Argb_8> iris(9, 9, argb(255, 250, 40, 90));
        render.choose(*render.parameters.alternative_iris, iris);
        render.run();

        EXPECT_EQ(render.spy.count("draw iris"), 1);
        EXPECT_EQ(render.spy.count("Copy"), colored ? 0 : 2) << "colored " << colored;
        EXPECT_EQ(render.spy.count("make solid"), colored ? 1 : 0) << "colored " << colored;
        bool some_colour = false;
        for (int64_t y = 0; y < 24; ++y)
            for (int64_t x = 0; x < 32; ++x) {
                const Pixel_Argb_8 q = render.output.at(x, y);
                EXPECT_EQ(q.a(), 255) << "colored " << colored << ", pixel (" << x << ", " << y << ")";
                if (!colored) {
                    EXPECT_EQ(q.r(), q.g()) << "pixel (" << x << ", " << y << ")";
                    EXPECT_EQ(q.g(), q.b()) << "pixel (" << x << ", " << y << ")";
                }
                some_colour = some_colour || q.r() != q.g();
            }
        EXPECT_EQ(some_colour, colored) << "the red iris shows in colour exactly when coloured";
    }
}

// ---- an empty selection layer ----

class BlurmondPipelineSelection : public ::testing::TestWithParam<int32_t> {};

// A chosen selection layer without pixels judges the image itself, exactly as an explicit copy of it
// does, in the blur's highlights and in both selection previews; a different selection layer gives a
// different result, so the comparison can fail.
TEST_P(BlurmondPipelineSelection, EmptySelectionLayerFallsBackToTheSource) {
    const auto render_with = [](auto choose) {
        auto render = std::make_unique<Render<Pixel_Argb_8>>(16, 8);
        const Blurmond_Parameters& p = render->parameters;
        p.show->set_value(GetParam());
        p.radius->set_value(3.0);
        p.preservative_highlight->set_value(4.0);
        p.selection_enable->set_value(true);
        p.lightness_start->set_value(100.0);
        p.lightness_end->set_value(255.0);
        fill_pattern(render->source);
        choose(*render);
        render->run();
        return render;
    };
    const auto fallback = render_with([](Render<Pixel_Argb_8>& r) { r.choose_empty(*r.parameters.selection_layer); });
    const auto explicit_copy =
        render_with([](Render<Pixel_Argb_8>& r) { r.choose(*r.parameters.selection_layer, r.source); });
    const test::Owned_Image<Pixel_Argb_8> black(16, 8, argb(255, 0, 0, 0));
    const auto other =
        render_with([&black](Render<Pixel_Argb_8>& r) { r.choose(*r.parameters.selection_layer, black); });

    expect_same(fallback->output, explicit_copy->output, "empty selection layer against the source itself");
    EXPECT_GT(test::worst_difference(other->output.layer(), explicit_copy->output.layer()).difference, 0.0);
    if (GetParam() != show_normal_blur) {
        EXPECT_EQ(fallback->spy.labels(), Labels{"hsl selection"});
    }
}

INSTANTIATE_TEST_SUITE_P(Shows, BlurmondPipelineSelection,
                         ::testing::Values(show_normal_blur, show_highlight_selection, show_highlight_selection_only));

// ---- other cases ----

TEST(BlurmondPipeline, UnknownDisplayModeLeavesTheOutputAlone) {
    Render<Pixel_Argb_16> render(4, 4);
    render.parameters.show->set_value(7);
    render.output.at(2, 3).r() = 1234;
    render.run();
    EXPECT_TRUE(render.spy.labels().empty());
    EXPECT_EQ(render.output.at(2, 3).r(), 1234);
}

TEST(BlurmondPipeline, RefusesALayerOfAnotherPixelType) {
    Render<Pixel_Argb_32f> render(4, 4);
    render.parameters.show->set_value(show_highlight_selection);
    const test::Owned_Image<Pixel_Argb_8> narrow(4, 4);
    render.extra_layers[render.parameters.selection_layer->description().key] = narrow.typeless();
    EXPECT_THROW(render.run(), Exception_Assert);
    EXPECT_TRUE(render.spy.labels().empty());
}

}  // namespace
}  // namespace nb
