// Tests of iris drawing: pixels per variant, analytic areas, border, extents, softening, image irises, bad input.
#include "kernel/kernel_draw_iris_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/iris_oracle.h"
#include "tests/support/test_host.h"
#include "tests/support/owned_layer.h"
#include "tests/support/plane.h"
#include "tests/support/tent_oracle.h"

namespace nb {
namespace {

constexpr double pi = std::numbers::pi;

// Iris settings plus the output layer's size and shape.
struct Draw_Case {
    const char* label;
    test::Iris_Oracle_Settings iris;
    int64_t width = 96;
    int64_t height = 80;
};

// A value no drawn pixel has, so pixels the kernel leaves alone stand out.
template <class P>
P marker() {
    P p;
    for (auto& c : p.c) c = static_cast<typename P::component>(std::is_same_v<typename P::component, float> ? 0.77f : 77);
    return p;
}

// Draws into out, which takes the layer shape of s; with an alternative iris image when one is given.
template <class Out, class Iris = Out>
void draw(test::Owned_Layer<Out>& out, const test::Iris_Oracle_Settings& s, float soften = 0.0f,
          const Layer<Iris>& alternative = {}) {
    Kernel_Draw_Iris<Layer<Out>, Layer<Iris>> kernel;
    kernel.in.iris = alternative;
    out.fill(marker<Out>());
    out.layer().pixel_aspect = s.pixel_aspect;
    out.layer().horizontal_factor = s.horizontal_factor;
    out.layer().vertical_factor = s.vertical_factor;
    kernel.in.out = out.layer();
    kernel.in.radius = s.radius;
    kernel.in.rounded = s.rounded;
    kernel.in.border_thickness = s.border_thickness;
    kernel.in.border_brightness = s.border_brightness;
    kernel.in.aspect = s.aspect;
    kernel.in.angle = s.angle;
    kernel.in.facets = s.facets;
    kernel.in.soften = soften;
    test::Test_Host host(2);
    kernel.run(host.context());
}

// The value a pixel shows, whatever its type: gray, or the common value of R, G and B, in the
// type's own units (code values for 8 and 16 bits).
template <class P>
double shown(const P& p) {
    if constexpr (P::is_gray) return p.v();
    else return p.r();
}

template <class P>
std::string colour_and_alpha_problem(const P& p) {
    if constexpr (P::is_gray) {
        return "";
    } else {
        std::ostringstream s;
        if (p.r() != p.g() || p.r() != p.b()) s << "R, G, B differ: " << +p.r() << " " << +p.g() << " " << +p.b();
        if (p.a() != static_cast<typename P::component>(P::white)) s << " alpha " << +p.a();
        return s.str();
    }
}

// What the accumulated value becomes in the pixel type: floats as they are, 8 and 16 bits truncated.
template <class P>
double expected_shown(double value) {
    if constexpr (std::is_same_v<typename P::component, float>) return value;
    else return std::floor(std::clamp(value, 0.0, 1.0) * P::white);
}

// One code value for 8 and 16 bits, where the float product and the double oracle may fall on either
// side of an integer; for float, the float rounding of the running sum of some hundred changes.
template <class P>
double pixel_tolerance() {
    if constexpr (std::is_same_v<typename P::component, float>) return 1e-5;
    else return 1.0;
}

template <class Variant>
class KernelDrawIrisVariant : public ::testing::Test {};

template <class Out, class Iris>
struct Variant {
    using out = Out;
    using iris = Iris;
};

// The alternative image's type plays no part without an image.
using Variants = ::testing::Types<Variant<Pixel_Gray_32f, Pixel_Argb_8>, Variant<Pixel_Argb_32f, Pixel_Argb_16>,
                                  Variant<Pixel_Bgra_32f, Pixel_Bgra_32f>, Variant<Pixel_Argb_8, Pixel_Argb_8>,
                                  Variant<Pixel_Bgra_8, Pixel_Bgra_8>, Variant<Pixel_Argb_16, Pixel_Argb_16>,
                                  Variant<Pixel_Bgra_16, Pixel_Bgra_16>>;
TYPED_TEST_SUITE(KernelDrawIrisVariant, Variants);

const Draw_Case pixel_cases[] = {
    {"bordered heptagon", {30.0f, 0.3f, 0.25f, 0.6f, 0.1f, 0.4f, 7}, 96, 80},
    {"odd layer, dark border", {20.0f, 0.0f, 0.3f, -0.5f, -0.3f, 0.0f, 5}, 63, 71},
    {"iris wider and taller than the layer", {30.0f, 0.5f, 0.0f, 0.0f, 0.5f, 0.2f, 6}, 21, 15},
    // The inner outline reaches past the scanned columns: rows with a single change show it on one pixel.
    {"single-change rows", {10.0f, 0.5f, -1.0f, -0.5f, 0.0f, 0.0f, 6}, 40, 40},
};

TYPED_TEST(KernelDrawIrisVariant, PixelsEqualTheAccumulatedScan) {
    using Out = typename TypeParam::out;
    for (const Draw_Case& c : pixel_cases) {
        test::Owned_Layer<Out> out(c.width, c.height);
        draw<Out, typename TypeParam::iris>(out, c.iris);
        const std::vector<double> expected = test::render_scan(test::scan_iris(c.iris), c.width, c.height);
        double worst = -1.0;
        int64_t wx = 0, wy = 0;
        for (int64_t y = 0; y < c.height; ++y)
            for (int64_t x = 0; x < c.width; ++x) {
                ASSERT_EQ(colour_and_alpha_problem(out.at(x, y)), "") << c.label << " at (" << x << ", " << y << ")";
                const double e = expected_shown<Out>(expected[static_cast<size_t>(y * c.width + x)]);
                const double d = std::fabs(shown(out.at(x, y)) - e);
                if (d > worst) worst = d, wx = x, wy = y;
            }
        EXPECT_LE(worst, pixel_tolerance<Out>())
            << c.label << ": worst pixel (" << wx << ", " << wy << ") shows " << shown(out.at(wx, wy))
            << ", scan gives " << expected[static_cast<size_t>(wy * c.width + wx)];
    }
}

// A negative radius, non-finite settings and an aspect that turns the shape inside out draw nothing:
// every pixel is written with value 0 and full alpha.
TYPED_TEST(KernelDrawIrisVariant, SettingsWithoutAnIrisDrawZeroWithFullAlpha) {
    using Out = typename TypeParam::out;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* label;
        test::Iris_Oracle_Settings iris;
        float soften;
    } cases[] = {
        {"negative radius", {-5.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}, 0.0f},
        {"NaN radius", {nan, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}, 0.0f},
        {"infinite soften", {10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}, inf},
        {"NaN border brightness", {10.0f, 0.0f, 0.2f, nan, 0.0f, 0.0f, 6}, 0.0f},
        {"infinite aspect", {10.0f, 0.0f, 0.0f, 0.0f, -inf, 0.0f, 6}, 0.0f},
    };
    for (const auto& c : cases) {
        test::Owned_Layer<Out> out(24, 20);
        draw<Out, typename TypeParam::iris>(out, c.iris, c.soften);
        for (int64_t y = 0; y < 20; ++y)
            for (int64_t x = 0; x < 24; ++x) {
                ASSERT_EQ(colour_and_alpha_problem(out.at(x, y)), "") << c.label << " at (" << x << ", " << y << ")";
                ASSERT_EQ(shown(out.at(x, y)), 0.0) << c.label << " at (" << x << ", " << y << ")";
            }
    }
}

double total(const test::Owned_Layer<Pixel_Gray_32f>& image) {
    double sum = 0.0;
    for (int64_t y = 0; y < image.layer().height; ++y)
        for (int64_t x = 0; x < image.layer().width; ++x) sum += image.at(x, y).v();
    return sum;
}

// Integral of the one-pixel ramp over a convex shape: ∫₀¹ area(shape shrunk by s) ds. A regular
// polygon with apothem a shrinks to apothem a − s, area N·tan(π/N)·(a − s)², so the integral is
// N·tan(π/N)·(a² − a + 1/3); a disc of radius r gives π·(r² − r + 1/3).
double ramp_area_polygon(int blades, double r) {
    const double a = r * std::cos(pi / blades);
    return blades * std::tan(pi / blades) * (a * a - a + 1.0 / 3.0);
}

double ramp_area_disc(double r) { return pi * (r * r - r + 1.0 / 3.0); }

struct Area_Case {
    const char* label;
    test::Iris_Oracle_Settings iris;
    double expected;
    double perimeter;
};

class KernelDrawIrisArea : public ::testing::TestWithParam<Area_Case> {};

// Summing pixel centres instead of integrating leaves, along each edge, slivers at the ramp's two ends
// whose sign follows the edge's phase against the pixel grid, so they mostly cancel (they stay below
// two pixels here). A ramp off by half a pixel would move the sum by perimeter / 2, sixteen times
// the tolerance; the 0.999 cap of rounded costs the near-circle below one pixel.
TEST_P(KernelDrawIrisArea, SumEqualsTheAnalyticArea) {
    const Area_Case& c = GetParam();
    test::Owned_Layer<Pixel_Gray_32f> out(128, 128);
    draw<Pixel_Gray_32f, Pixel_Argb_32f>(out, c.iris);
    EXPECT_NEAR(total(out), c.expected, c.perimeter / 32.0) << c.label;
}

Area_Case polygon(const char* label, int blades, float angle) {
    const double r = 51.0;
    return {label, {50.0f, 0.0f, 0.0f, 0.0f, 0.0f, angle, blades}, ramp_area_polygon(blades, r),
            2.0 * blades * r * std::sin(pi / blades)};
}

Area_Case disc(const char* label, int facets, float rounded) {
    const double r = 41.0;
    return {label, {40.0f, rounded, 0.0f, 0.0f, 0.0f, 0.3f, facets}, ramp_area_disc(r), 2.0 * pi * r};
}

INSTANTIATE_TEST_SUITE_P(Cases, KernelDrawIrisArea,
                         ::testing::Values(polygon("triangle", 3, 0.0f), polygon("pentagon", 5, 0.9f),
                                           polygon("hexagon", 6, 0.0f), polygon("nonagon", 9, -0.4f),
                                           polygon("many blades", 999, 0.0f), disc("rounded hexagon", 6, 1.0f),
                                           disc("no blades: circle", 0, 0.0f), disc("negative blades", -2, 0.0f)));

using Gray_Image = test::Owned_Layer<Pixel_Gray_32f>;

double at(const Gray_Image& image, int64_t x, int64_t y) { return image.at(x, y).v(); }

struct Border_Case {
    const char* label;
    float brightness;
    double inside;
    double ring;
};

class KernelDrawIrisBorder : public ::testing::TestWithParam<Border_Case> {};

// A near-circle of radius 60 with thickness 0.2 has its ring between 48 and 60. Away from the two
// one-pixel ramps the values are exact (to the 0.0001 hold); the brightness sum is linear in the two
// ramp areas, with the area tolerance of both outlines.
TEST_P(KernelDrawIrisBorder, RingAndInsideHaveTheirBrightnessAndWidth) {
    const Border_Case& c = GetParam();
    const int64_t size = 131, centre = 65;
    const double outer = 60.0, inner = 48.0;
    Gray_Image out(size, size);
    draw<Pixel_Gray_32f, Pixel_Argb_32f>(out, {59.0f, 1.0f, 0.2f, c.brightness, 0.0f, 0.0f, 6});
    for (const auto& [ux, uy] : {std::pair{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}})
        for (int64_t k = 0; k < centre; ++k) {
            const double rho = k * std::hypot(ux, uy);
            const double v = at(out, centre + ux * k, centre + uy * k);
            const bool on_ramp = std::fabs(rho - inner) < 1.5 || std::fabs(rho - outer) < 1.5;
            const double expected = rho < inner ? c.inside : rho < outer ? c.ring : 0.0;
            ASSERT_NEAR(on_ramp ? expected : v, expected, 2e-4) << c.label << ", distance " << rho;
        }
    const double expected =
        c.ring * ramp_area_disc(outer) + (c.inside - c.ring) * ramp_area_disc(inner);
    EXPECT_NEAR(total(out), expected, 2.0 * pi * (outer + inner) / 32.0) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Cases, KernelDrawIrisBorder,
                         ::testing::Values(Border_Case{"dark border", -0.5f, 1.0, 0.5},
                                           Border_Case{"border only", 1.0f, 0.0, 1.0},
                                           Border_Case{"zero brightness ignores thickness", 0.0f, 1.0, 1.0}));

struct Extent_Case {
    const char* label;
    float aspect, pixel_aspect, horizontal_factor, vertical_factor;
};

class KernelDrawIrisExtent : public ::testing::TestWithParam<Extent_Case> {};

// Along a ray from the centre the one-pixel ramp makes the values sum to the half-extent itself:
// pixels 0..⌊e⌋−1 give 1 each and pixel ⌊e⌋ gives the fraction. Expected half-extents:
// horizontal (1 + aspect)·(radius + 1) / pixel aspect · horizontal factor, vertical
// (1 − aspect)·(radius + 1) · vertical factor. A near-circle's blade middles lie up to 0.001·(r − a)
// inside, below 0.01 pixel here.
TEST_P(KernelDrawIrisExtent, HalfExtentsFollowAspectPixelAspectAndFactors) {
    const Extent_Case& c = GetParam();
    const int64_t size = 161, centre = 80;
    const double r = 40.0;
    Gray_Image out(size, size);
    draw<Pixel_Gray_32f, Pixel_Argb_32f>(
        out, {39.0f, 1.0f, 0.0f, 0.0f, c.aspect, 0.0f, 6, c.pixel_aspect, c.horizontal_factor, c.vertical_factor});
    const double horizontal = (1.0 + c.aspect) * r / c.pixel_aspect * c.horizontal_factor;
    const double vertical = (1.0 - c.aspect) * r * c.vertical_factor;
    double right = 0.0, left = 0.0, down = 0.0, up = 0.0;
    for (int64_t k = 0; k <= centre; ++k) {
        right += at(out, centre + k, centre), left += at(out, centre - k, centre);
        down += at(out, centre, centre + k), up += at(out, centre, centre - k);
    }
    EXPECT_NEAR(right, horizontal, 0.02) << c.label;
    EXPECT_NEAR(left, horizontal, 0.02) << c.label;
    EXPECT_NEAR(down, vertical, 0.02) << c.label;
    EXPECT_NEAR(up, vertical, 0.02) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Cases, KernelDrawIrisExtent,
                         ::testing::Values(Extent_Case{"widest", 0.75f, 1.0f, 1.0f, 1.0f},
                                           Extent_Case{"tallest", -0.75f, 1.0f, 1.0f, 1.0f},
                                           Extent_Case{"narrow pixels", 0.2f, 0.9f, 1.0f, 1.0f},
                                           Extent_Case{"half resolution", 0.3f, 1.0f, 0.5f, 0.5f},
                                           Extent_Case{"uneven factors", 0.0f, 1.0f, 0.25f, 1.0f}));

template <class Variant>
class KernelDrawIrisSoften : public ::testing::Test {};

using Soften_Variants = ::testing::Types<Variant<Pixel_Gray_32f, Pixel_Argb_32f>, Variant<Pixel_Argb_32f, Pixel_Argb_8>,
                                         Variant<Pixel_Bgra_8, Pixel_Bgra_8>, Variant<Pixel_Argb_16, Pixel_Argb_16>>;
TYPED_TEST_SUITE(KernelDrawIrisSoften, Soften_Variants);

// Softening is the drawn iris blurred in place by a tent of the soften radius in full-resolution
// pixels, rows and columns mirrored at the edges. Reference: a direct tent sum in double over the
// unsoftened drawing, rounded after each pass for 8 and 16 bits as those layers store it. The blur
// keeps running sums in float: a few float epsilons for float layers, one code value for integers.
TYPED_TEST(KernelDrawIrisSoften, SoftenIsATentBlurOfTheDrawnIris) {
    using Out = typename TypeParam::out;
    using Iris = typename TypeParam::iris;
    const bool integer = !std::is_same_v<typename Out::component, float>;
    // Opaque, so that straight and premultiplied colour blur alike.
    test::Owned_Layer<Iris> alternative(30, 20);
    alternative.fill_random(7);
    for (int64_t y = 0; y < 20; ++y)
        for (int64_t x = 0; x < 30; ++x) alternative.at(x, y).a() = static_cast<typename Iris::component>(Iris::white);
    const struct {
        const char* label;
        test::Iris_Oracle_Settings iris;
        float soften;
        bool with_alternative;
    } cases[] = {
        {"blades", {14.0f, 0.2f, 0.3f, 0.6f, 0.2f, 0.3f, 5}, 2.5f, false},
        {"blades at half resolution", {14.0f, 0.2f, 0.0f, 0.0f, 0.0f, 0.3f, 7, 1.0f, 0.5f, 0.5f}, 3.0f, false},
        {"alternative image", {9.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}, 1.7f, true},
    };
    for (const auto& c : cases) {
        const Layer<Iris> iris = c.with_alternative ? alternative.layer() : Layer<Iris>{};
        // Premultiplied, as the defocus kernel draws it: outside the image alpha is 0, and a straight
        // colour layer would be blurred with its colour weighted by alpha.
        test::Owned_Layer<Out> sharp(48, 40), soft(48, 40);
        sharp.layer().premultiplied = soft.layer().premultiplied = true;
        draw<Out, Iris>(sharp, c.iris, 0.0f, iris);
        draw<Out, Iris>(soft, c.iris, c.soften, iris);
        const test::Plane expected = test::tent_blur(test::raw_plane(sharp.layer()), c.soften * c.iris.horizontal_factor,
                                                     c.soften * c.iris.vertical_factor, 1, integer ? Out::white : 0.0);
        const test::Worst_Difference worst = test::worst_plane_difference(test::raw_plane(soft.layer()), expected);
        EXPECT_LE(worst.difference, integer ? 1.0 : 1e-5) << c.label << ": " << worst.describe();
    }
}

struct Alternative_Case {
    const char* label;
    int64_t width, height;  // of the alternative image
    float factor;           // resolution factor of the image and the output, both directions
    float iris_pixel_aspect, out_pixel_aspect;
    float radius;
};

class KernelDrawIrisAlternative : public ::testing::TestWithParam<Alternative_Case> {};

// The image's shorter side spans 2·radius + 1 full-resolution pixels, the longer one keeps the
// image's proportions, and the output's pixel aspect narrows or widens it. For a white image the
// values along the centre row add up to the horizontal span: the zoom's overlapping windows are
// normalised, so every source pixel contributes 1/zoom to the row (float table sums: below 1e-4).
// Centring: the zoom maps the output's centre (W/2 as a float) to the image's centre, up to its
// convention of where a source pixel lies (half a source pixel, 0.5 / zoom layer pixels), and the
// centroid of the sampled edge ramps is off by less than half a layer pixel.
TEST_P(KernelDrawIrisAlternative, ImageIsScaledToTheRadiusAndCentred) {
    const Alternative_Case& c = GetParam();
    test::Owned_Layer<Pixel_Argb_32f> iris(c.width, c.height);
    iris.fill({1.0f, 1.0f, 1.0f, 1.0f});
    iris.layer().horizontal_factor = iris.layer().vertical_factor = c.factor;
    iris.layer().pixel_aspect = c.iris_pixel_aspect;
    const int64_t width = 150, height = 120;
    Gray_Image out(width, height);
    // Blade settings are ignored when an image is given.
    draw<Pixel_Gray_32f, Pixel_Argb_32f>(
        out, {c.radius, 0.0f, 0.4f, 0.8f, 0.6f, 1.0f, 3, c.out_pixel_aspect, c.factor, c.factor}, 0.0f, iris.layer());

    const double shorter = std::min(c.width, c.height) / static_cast<double>(c.factor);
    const double layer_pixels_per_image_pixel = (2.0 * c.radius + 1.0) / shorter;
    const double span_x = c.width * layer_pixels_per_image_pixel * c.iris_pixel_aspect / c.out_pixel_aspect;
    const double span_y = c.height * layer_pixels_per_image_pixel;
    double row = 0.0, row_moment = 0.0, column = 0.0, column_moment = 0.0;
    for (int64_t x = 0; x < width; ++x) row += at(out, x, height / 2), row_moment += x * at(out, x, height / 2);
    for (int64_t y = 0; y < height; ++y) column += at(out, width / 2, y), column_moment += y * at(out, width / 2, y);
    EXPECT_NEAR(row, span_x, 1e-4) << c.label << ": horizontal span";
    EXPECT_NEAR(column, span_y, 1e-4) << c.label << ": vertical span";
    EXPECT_NEAR(row_moment / row, width / 2.0, 0.5 * span_x / c.width + 0.5) << c.label << ": horizontal centre";
    EXPECT_NEAR(column_moment / column, height / 2.0, 0.5 * span_y / c.height + 0.5) << c.label << ": vertical centre";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KernelDrawIrisAlternative,
    ::testing::Values(Alternative_Case{"reduced", 100, 50, 1.0f, 1.0f, 1.0f, 12.0f},
                      Alternative_Case{"enlarged", 20, 10, 1.0f, 1.0f, 1.0f, 19.5f},
                      Alternative_Case{"portrait", 60, 90, 1.0f, 1.0f, 1.0f, 14.5f},
                      Alternative_Case{"half resolution", 50, 25, 0.5f, 1.0f, 1.0f, 24.5f},
                      Alternative_Case{"wide output pixels", 100, 50, 1.0f, 1.0f, 2.0f, 24.5f},
                      Alternative_Case{"narrow image pixels", 100, 50, 1.0f, 0.5f, 1.0f, 24.5f}));

// A gray iris is the mean of R, G and B; a colour iris keeps all four channels in its own order.
TEST(KernelDrawIris, AlternativeImageGivesGrayOrColour) {
    test::Owned_Layer<Pixel_Bgra_8> iris(40, 40);
    Pixel_Bgra_8 colour;
    colour.r() = 230, colour.g() = 153, colour.b() = 76, colour.a() = 255;
    iris.fill(colour);
    const test::Iris_Oracle_Settings settings{19.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6};

    test::Owned_Layer<Pixel_Gray_32f> gray(60, 60);
    draw<Pixel_Gray_32f, Pixel_Bgra_8>(gray, settings, 0.0f, iris.layer());
    // (230 + 153 + 76) / 3 = 153 in whole numbers, 153/255 = 0.6.
    EXPECT_NEAR(gray.at(30, 30).v(), 0.6f, 1e-6f);

    test::Owned_Layer<Pixel_Bgra_32f> rgb(60, 60);
    draw<Pixel_Bgra_32f, Pixel_Bgra_8>(rgb, settings, 0.0f, iris.layer());
    const Pixel_Bgra_32f p = rgb.at(30, 30);
    EXPECT_NEAR(p.r(), 230.0f / 255.0f, 1e-6f);
    EXPECT_NEAR(p.g(), 0.6f, 1e-6f);
    EXPECT_NEAR(p.b(), 76.0f / 255.0f, 1e-6f);
    EXPECT_NEAR(p.a(), 1.0f, 1e-6f);

    test::Owned_Layer<Pixel_Bgra_8> eight(60, 60);
    draw<Pixel_Bgra_8, Pixel_Bgra_8>(eight, settings, 0.0f, iris.layer());
    EXPECT_EQ(+eight.at(30, 30).r(), 230);
    EXPECT_EQ(+eight.at(30, 30).b(), 76);
    EXPECT_EQ(+eight.at(30, 30).a(), 255);
}

// With an image given, a radius, resolution factors or a pixel aspect that make no finite scale draw
// nothing.
TEST(KernelDrawIris, AlternativeImageWithoutAScaleDrawsZero) {
    test::Owned_Layer<Pixel_Argb_16> iris(20, 20);
    iris.fill_random(3);
    const struct {
        const char* label;
        float radius, factor, pixel_aspect;
    } cases[] = {{"negative radius", -4.0f, 1.0f, 1.0f},
                 {"zero resolution factors", 10.0f, 0.0f, 1.0f},
                 {"zero pixel aspect", 10.0f, 1.0f, 0.0f}};
    for (const auto& c : cases) {
        iris.layer().horizontal_factor = iris.layer().vertical_factor = c.factor;
        iris.layer().pixel_aspect = c.pixel_aspect;
        Gray_Image out(30, 30);
        draw<Pixel_Gray_32f, Pixel_Argb_16>(out, {c.radius, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}, 0.0f, iris.layer());
        EXPECT_EQ(total(out), 0.0) << c.label;
    }
}

}  // namespace
}  // namespace nb
