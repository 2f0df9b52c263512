// Selection preview in its display modes, for every pixel variant, with hand-worked values.
#include "kernel/kernel_hsl_selection_cpu.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <type_traits>

#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

// Hand-worked values per depth. The input pixel is a straight colour at half alpha. The selection
// weights come from a ramp over lightness 0 .. 0.6 (weight = lightness / 0.6) of premultiplied
// reds: opaque red has lightness 0.5, weight 5/6; red at half alpha premultiplies to half red,
// lightness 0.25 (8 bits: 128 / 255 / 2), weight 5/12 (8 bits: 0.41830). Integer weights are scaled by
// white and truncated (not rounded: 212.5 stays 212); products are truncated.
template <class T>
struct Depth;

template <>
struct Depth<uint8_t> {
    static constexpr std::array<uint8_t, 4> input{200, 100, 50, 128};  // R, G, B, A
    static constexpr uint8_t half_alpha = 128;
    // trunc(200 * 128 / 255) = 100, trunc(100 * 128 / 255) = 50, trunc(50 * 128 / 255) = 25;
    // alpha trunc(128 * 128 / 255) = 64.
    static constexpr std::array<uint8_t, 4> premultiplied{100, 50, 25, 64};
    // trunc(5/6 * 255) = trunc(212.5) = 212; trunc(0.41830 * 255) = trunc(106.67) = 106.
    static constexpr uint8_t weight_full = 212, weight_half = 106;
    // trunc(100 * 212 / 255) = trunc(83.1), trunc(50 * 212 / 255) = trunc(41.6), trunc(25 * 212 / 255) = trunc(20.8).
    static constexpr std::array<uint8_t, 3> weighted_full{83, 41, 20};
};

template <>
struct Depth<uint16_t> {
    static constexpr std::array<uint16_t, 4> input{25600, 12800, 6400, 16384};
    static constexpr uint16_t half_alpha = 16384;
    static constexpr std::array<uint16_t, 4> premultiplied{12800, 6400, 3200, 8192};
    // trunc(5/6 * 32768) = trunc(27306.7); trunc(5/12 * 32768) = trunc(13653.3).
    static constexpr uint16_t weight_full = 27306, weight_half = 13653;
    // trunc(12800 * 27306 / 32768) = trunc(10666.4), and likewise 5333.2, 2666.6.
    static constexpr std::array<uint16_t, 3> weighted_full{10666, 5333, 2666};
};

template <>
struct Depth<float> {
    static constexpr std::array<float, 4> input{0.78125f, 0.390625f, 0.1953125f, 0.5f};
    static constexpr float half_alpha = 0.5f;
    static constexpr std::array<float, 4> premultiplied{0.390625f, 0.1953125f, 0.09765625f, 0.25f};
    static constexpr float weight_full = 5.0f / 6.0f, weight_half = 5.0f / 12.0f;
    static constexpr std::array<float, 3> weighted_full{0.390625f * 5 / 6, 0.1953125f * 5 / 6, 0.09765625f * 5 / 6};
};

// Float weights are worked out in double and stored in single precision (5/6 and 5/12 are not exact),
// so float results may differ from the hand values by a few units in the last place.
constexpr double float_tolerance = 1e-6;

template <class P>
class KernelHslSelection : public testing::Test {
protected:
    using T = typename P::component;
    using D = Depth<T>;
    static constexpr T white = static_cast<T>(P::white);

    static P make(T r, T g, T b, T a) {
        P p{};
        p.r() = r;
        p.g() = g;
        p.b() = b;
        p.a() = a;
        return p;
    }

    // Frame columns 5..8 of out. in covers columns 5..7 only; selection covers 6..8 with gray,
    // opaque red and straight red at half alpha. Saturation 0.5..1 rejects the gray.
    std::array<P, 4> run(bool enabled, bool only) {
        test::Owned_Layer<P> in(3, 2, 5, 7), out(4, 2, 5, 7), selection(3, 2, 6, 7);
        in.fill([](int64_t, int64_t) { return make(D::input[0], D::input[1], D::input[2], D::input[3]); });
        selection.fill([](int64_t c, int64_t) {
            const T half_gray = static_cast<T>(P::white / 2);
            if (c == 0) return make(half_gray, half_gray, half_gray, white);
            return make(white, 0, 0, c == 1 ? white : D::half_alpha);
        });
        Kernel_Hsl_Selection<Layer<P>> kernel;
        kernel.in = {in.layer(), out.layer(), selection.layer(),
                     {.selection_only = only, .selection_enabled = enabled, .saturation_start = 0.5,
                      .lightness_end = 0.6, .lightness_climax = 1.0, .lightness_soften = 1.0}};
        test::Test_Host host(2);
        kernel.run(host.context());
        for (int64_t c = 0; c < 4; ++c)
            EXPECT_EQ(0, std::memcmp(&out.at(c, 0), &out.at(c, 1), sizeof(P))) << "rows differ at column " << c;
        return {out.at(0, 0), out.at(1, 0), out.at(2, 0), out.at(3, 0)};
    }

    static void expect_pixel(const P& actual, const P& expected, const char* what) {
        const double tolerance = std::is_same_v<T, float> ? float_tolerance : 0.0;
        EXPECT_NEAR(actual.r(), expected.r(), tolerance) << what << ": red";
        EXPECT_NEAR(actual.g(), expected.g(), tolerance) << what << ": green";
        EXPECT_NEAR(actual.b(), expected.b(), tolerance) << what << ": blue";
        EXPECT_NEAR(actual.a(), expected.a(), tolerance) << what << ": alpha";
    }
};

using Variants = testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16,
                                Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelHslSelection, Variants);

// Columns: outside the selection, gray selection, opaque red selection, half transparent red selection
// (beyond the input image).
TYPED_TEST(KernelHslSelection, ShowsTheHandWorkedPixelsInEveryMode) {
    using D = typename TestFixture::D;
    const auto white = TestFixture::white;
    const auto make = [](auto r, auto g, auto b, auto a) { return TestFixture::make(r, g, b, a); };
    const TypeParam black = make(0, 0, 0, white), opaque_white = make(white, white, white, white);
    const auto& pre = D::premultiplied;
    const TypeParam premultiplied = make(pre[0], pre[1], pre[2], pre[3]);
    const struct {
        const char* mode;
        bool enabled, only;
        std::array<TypeParam, 4> expected;
    } modes[] = {
        {"over the image: premultiplied input times weight", true, false,
         {black, black, make(D::weighted_full[0], D::weighted_full[1], D::weighted_full[2], white), black}},
        {"alone: the weight as gray", true, true,
         {black, black, make(D::weight_full, D::weight_full, D::weight_full, white),
          make(D::weight_half, D::weight_half, D::weight_half, white)}},
        {"disabled alone: opaque white", false, true, {opaque_white, opaque_white, opaque_white, opaque_white}},
        {"disabled over the image: every channel times alpha", false, false,
         {premultiplied, premultiplied, premultiplied, make(0, 0, 0, 0)}},
    };
    for (const auto& m : modes) {
        const auto out = this->run(m.enabled, m.only);
        for (size_t c = 0; c < 4; ++c)
            TestFixture::expect_pixel(out[c], m.expected[c],
                                      (std::string(m.mode) + ", column " + std::to_string(c)).c_str());
    }
}

}  // namespace
}  // namespace nb
