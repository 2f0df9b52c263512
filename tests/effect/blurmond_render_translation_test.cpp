// The render call's dispatch: each host format reaches the pipeline typed as its own variant, others fail.
#include "effect/blurmond_render_translation.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "base/exception.h"
#include "base/log.h"
#include "tests/support/log_sandbox.h"
#include "tests/support/memory_parameter_factory.h"
#include "tests/support/pipeline_rig.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

// Each variant's host format written out (channel bytes, pixel bytes, positions of R, G, B, A) and the
// name it logs.
struct Expected_Variant {
    Pixel_Format format;
    const char* name;
};

template <class P>
Expected_Variant expected_variant() {
    using F = Pixel_Format;
    if constexpr (std::is_same_v<P, Pixel_Argb_8>) return {F(1, 4, 0, 1, 4, 1, 2, 3, 0), "8 bit argb uc - cpu"};
    if constexpr (std::is_same_v<P, Pixel_Argb_16>) return {F(1, 4, 0, 2, 8, 1, 2, 3, 0), "16 bit argb uc - cpu"};
    if constexpr (std::is_same_v<P, Pixel_Argb_32f>) return {F(1, 4, 0, 4, 16, 1, 2, 3, 0), "32 bit argb float - cpu"};
    if constexpr (std::is_same_v<P, Pixel_Bgra_8>) return {F(1, 4, 0, 1, 4, 2, 1, 0, 3), "8 bit bgra uc - cpu"};
    if constexpr (std::is_same_v<P, Pixel_Bgra_16>) return {F(1, 4, 0, 2, 8, 2, 1, 0, 3), "16 bit bgra us - cpu"};
    if constexpr (std::is_same_v<P, Pixel_Bgra_32f>) return {F(1, 4, 0, 4, 16, 2, 1, 0, 3), "32 bit bgra float - cpu"};
}

// Renders the selection preview with the selection off, which multiplies all four channels of each
// pixel by its alpha. Which channel is alpha, and how wide a channel is, decide the result, so only the
// right variant reproduces it.
template <class P>
class BlurmondRenderTranslation : public ::testing::Test {
protected:
    test::Log_Sandbox log_;
    test::Memory_Parameter_Factory factory_;
    Blurmond_Parameters parameters_{factory_, Plugin_Host::after_effects};
    test::Owned_Image<P> source_{3, 2};
    test::Owned_Image<P> output_{3, 2};

    void SetUp() override {
        parameters_.show->set_value(show_highlight_selection);
        parameters_.selection_enable->set_value(false);
        const float w = P::white;
        for (int64_t y = 0; y < 2; ++y)
            for (int64_t x = 0; x < 3; ++x) {
                P& p = source_.at(x, y);
                using T = typename P::component;
                p.r() = static_cast<T>(w * 0.8f);
                p.g() = static_cast<T>(w * 0.4f);
                p.b() = static_cast<T>(w * 0.2f);
                p.a() = static_cast<T>(w * 0.5f);
            }
    }

    void translate(test::Test_Host& host, const Pixel_Format& format, NB_Render_Pipeline pipeline = 0) {
        translate_render_call(format, pipeline, make_host_context(Plugin_Host::after_effects),
                              test::frame_context(test::frame_of(3, 2)), host.context(), parameters_,
                              source_.typeless(), output_.typeless(), Extra_Layers{});
    }
};

using Variants = ::testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16,
                                  Pixel_Bgra_32f>;
TYPED_TEST_SUITE(BlurmondRenderTranslation, Variants);

TYPED_TEST(BlurmondRenderTranslation, RunsThePipelineOfTheFormatsVariantAndLogsItsName) {
    using P = TypeParam;
    test::Test_Host host(2);
    this->translate(host, expected_variant<P>().format);

    const auto entries = log_instance().remembered();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back(), std::string("translating render call to ") + expected_variant<P>().name + "\n");

    // Colour 0.8, 0.4, 0.2 and alpha 0.5, each times 0.5. One code value of slack for the integer
    // variants' truncations; float products of halves are exact.
    const double w = P::white;
    const double slack = std::is_same_v<typename P::component, float> ? 0.0 : 1.0;
    const double tolerance = slack + w * 1e-6;
    for (int64_t y = 0; y < 2; ++y)
        for (int64_t x = 0; x < 3; ++x) {
            const P& p = this->output_.at(x, y);
            const auto where = [&] { return std::string(expected_variant<P>().name) + " pixel " + std::to_string(x); };
            EXPECT_NEAR(p.r(), w * 0.4, tolerance) << where() << ", " << y;
            EXPECT_NEAR(p.g(), w * 0.2, tolerance) << where() << ", " << y;
            EXPECT_NEAR(p.b(), w * 0.1, tolerance) << where() << ", " << y;
            EXPECT_NEAR(p.a(), w * 0.25, tolerance) << where() << ", " << y;
        }
}

TYPED_TEST(BlurmondRenderTranslation, RefusesAnyPipelineButTheCpusBeforeTouchingAPixel) {
    test::Test_Host host(1);
    EXPECT_THROW(this->translate(host, expected_variant<TypeParam>().format, 1), Exception_Assert);
    for (const std::string& entry : log_instance().remembered())
        EXPECT_EQ(entry.find("translating render call"), std::string::npos) << entry;
    EXPECT_EQ(this->output_.at(0, 0).a(), 0);
}

TEST(BlurmondRenderTranslationFormats, RefusesFormatsWithoutVariant) {
    test::Log_Sandbox log;
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters parameters(factory, Plugin_Host::premiere);
    test::Test_Host host(1);
    // RGBA order, and ARGB with an extra channel: neither has a variant.
    const Pixel_Format rgba(1, 4, 0, 1, 4, 0, 1, 2, 3);
    const Pixel_Format argb_extra(1, 4, 1, 4, 20, 1, 2, 3, 0);
    for (const Pixel_Format& format : {rgba, argb_extra})
        EXPECT_THROW(translate_render_call(format, 0, make_host_context(Plugin_Host::premiere),
                                           test::frame_context(test::frame_of(1, 1)), host.context(), parameters,
                                           Layer_Typeless{}, Layer_Typeless{}, Extra_Layers{}),
                     Exception_Assert)
            << "channel bytes " << format.channel_size << ", pixel bytes " << format.full_size;
}

}  // namespace
}  // namespace nb
