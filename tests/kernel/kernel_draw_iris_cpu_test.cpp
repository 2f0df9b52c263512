// Iris drawing against a pixel-by-pixel scan of the blade geometry for every variant, softening against a
// direct tent, image irises against their scale, and settings that describe no iris.
#include "kernel/kernel_draw_iris_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/iris_oracle.h"
#include "tests/support/test_host.h"
#include "tests/support/owned_layer.h"
#include "tests/support/image_compare.h"
#include "tests/support/tent_oracle.h"

namespace nb {
namespace {

// Iris settings plus the output layer's size; 0 sizes the layer to hold the whole scanned iris.
struct Draw_Case {
    const char* label;
    test::Iris_Oracle_Settings iris;
    int64_t width = 0;
    int64_t height = 0;
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
    out.fill(marker<Out>());
    out.layer().pixel_aspect = s.pixel_aspect;
    out.layer().horizontal_factor = s.horizontal_factor;
    out.layer().vertical_factor = s.vertical_factor;
    Kernel_Draw_Iris<Layer<Out>, Layer<Iris>> kernel;
    kernel.in = {out.layer(), alternative, s.radius, s.rounded, s.border_thickness, s.border_brightness,
                 s.aspect,    s.angle,     s.facets, soften};
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

// Compares the drawn rows (all of them when rows is empty) with the scan's accumulation; empty when
// they agree. One code value for 8 and 16 bits, where the float product and the double oracle may
// fall on either side of an integer; for float, the float rounding of a running sum of some hundred
// changes.
template <class Out>
std::string scan_mismatch(const test::Owned_Layer<Out>& out, const test::Iris_Scan& scan,
                          std::vector<int64_t> rows = {}) {
    const int64_t width = out.layer().width, height = out.layer().height;
    const std::vector<double> expected = test::render_scan(scan, width, height);
    const double tolerance = std::is_same_v<typename Out::component, float> ? 1e-5 : 1.0;
    if (rows.empty())
        for (int64_t y = 0; y < height; ++y) rows.push_back(y);
    for (const int64_t y : rows)
        for (int64_t x = 0; x < width; ++x) {
            const std::string where = " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            const std::string problem = colour_and_alpha_problem(out.at(x, y));
            if (!problem.empty()) return problem + where;
            const double want = expected[static_cast<size_t>(y * width + x)];
            if (std::fabs(shown(out.at(x, y)) - expected_shown<Out>(want)) > tolerance)
                return "shows " + std::to_string(shown(out.at(x, y))) + ", scan gives " + std::to_string(want) + where;
        }
    return "";
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

// Every kind of blade (flat, bulging, near-circle, capped, none), both border signs and the degenerate
// borders, squeezed both ways to the floor of the squeeze, pixel aspect and resolution factors, radii
// at and below a pixel, and layers smaller than the iris.
const Draw_Case pixel_cases[] = {
    {"bordered heptagon", {30.0f, 0.3f, 0.25f, 0.6f, 0.1f, 0.4f, 7}, 96, 80},
    {"odd layer, dark border", {20.0f, 0.0f, 0.3f, -0.5f, -0.3f, 0.0f, 5}, 63, 71},
    {"iris wider and taller than the layer", {30.0f, 0.5f, 0.0f, 0.0f, 0.5f, 0.2f, 6}, 21, 15},
    // The inner outline reaches past the scanned columns: rows with a single change show it on one pixel.
    {"single-change rows", {10.0f, 0.5f, -1.0f, -0.5f, 0.0f, 0.0f, 6}, 40, 40},
    {"triangle, flat blades", {30.0f, 0.0f, 0.0f, 0.0f, 0.0f, -2.0f, 3}},
    {"square, whole border", {20.0f, 0.0f, 1.0f, 0.4f, 0.0f, 0.0f, 4}},
    {"border only", {18.0f, 0.9f, 0.1f, 1.0f, 0.0f, 0.0f, 6}},
    {"tall with faint border", {15.0f, 0.3f, 0.25f, 0.2f, -0.75f, 0.4f, 6}},
    {"squeeze floor, border", {12.0f, 0.5f, 0.3f, 0.5f, 0.98f, 0.0f, 4}},
    {"near circle, wide", {40.0f, 1.0f, 0.0f, 0.0f, 0.75f, 0.3f, 6}},
    {"pixel aspect, uneven factors", {26.0f, 0.1f, 0.0f, 0.0f, 0.2f, 1.0f, 7, 0.9f, 0.25f, 0.5f}},
    {"radius zero", {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}},
    {"radius below a pixel", {0.4f, 1.0f, 0.0f, 0.0f, 0.5f, 0.0f, 3}},
    {"circle below a pixel", {0.25f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0}},
    {"many blades, hairline border", {40.0f, 0.0f, 0.01f, 0.5f, 0.0f, 0.01f, 999}},
    {"blades capped at 1000", {10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 5000}},
    {"two blades", {10.0f, 0.3f, 0.0f, 0.0f, 0.0f, 0.5f, 2}},
    {"negative blades: circle with border", {10.0f, 0.0f, 0.2f, 0.5f, 0.0f, 0.0f, -4}},
};

TYPED_TEST(KernelDrawIrisVariant, PixelsEqualTheAccumulatedScan) {
    using Out = typename TypeParam::out;
    for (const Draw_Case& c : pixel_cases) {
        const test::Iris_Scan scan = test::scan_iris(c.iris);
        test::Owned_Layer<Out> out(c.width > 0 ? c.width : 2 * scan.n + 3, c.height > 0 ? c.height : 2 * scan.m + 3);
        draw<Out, typename TypeParam::iris>(out, c.iris);
        EXPECT_EQ(scan_mismatch(out, scan), "") << c.label;
    }
}

// The largest iris the parameters allow, checked on sampled rows against a scan of those rows only
// (rows are independent). A store sized for ordinary irises would run out at the bottom rows, so those
// are always among them.
TEST(KernelDrawIris, LargestIrisKeepsEveryChange) {
    for (const float aspect : {-0.75f, 0.75f}) {
        const test::Iris_Oracle_Settings settings{999.0f, 0.0f, 0.3f, aspect > 0.0f ? 0.5f : 0.0f, aspect, 0.3f, 999};
        const test::Iris_Scan size = test::scan_iris(settings, {0});
        test::Owned_Layer<Pixel_Gray_32f> out(2 * size.n + 1, 2 * size.m + 1);
        draw<Pixel_Gray_32f, Pixel_Argb_32f>(out, settings);
        std::vector<int32_t> rows;
        for (int32_t y = -size.m; y <= size.m; y += 41) rows.push_back(y);
        for (int32_t k = 0; k < 12; ++k) rows.push_back(-size.m + k), rows.push_back(size.m - k);
        std::vector<int64_t> layer_rows;
        for (const int32_t y : rows) layer_rows.push_back(y + size.m);
        EXPECT_EQ(scan_mismatch(out, test::scan_iris(settings, rows), layer_rows), "") << "aspect " << aspect;
    }
}

// A negative radius, non-finite settings and an aspect that turns the shape inside out draw nothing,
// and so does an image given with a radius, resolution factors or a pixel aspect that make no finite
// scale: every pixel is written with value 0 and full alpha.
TYPED_TEST(KernelDrawIrisVariant, SettingsWithoutAnIrisDrawZeroWithFullAlpha) {
    using Out = typename TypeParam::out;
    using Iris = typename TypeParam::iris;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* label;
        test::Iris_Oracle_Settings iris;
        float soften = 0.0f;
        bool image = false;
        float image_factor = 1.0f, image_pixel_aspect = 1.0f;
    } cases[] = {
        {"negative radius", {-5.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}}, {"NaN radius", {nan, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}},
        {"infinite soften", {10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}, inf}, {"NaN border brightness", {10.0f, 0.0f, 0.2f, nan, 0.0f, 0.0f, 6}},
        {"infinite aspect", {10.0f, 0.0f, 0.0f, 0.0f, -inf, 0.0f, 6}}, {"infinite radius", {inf, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}},
        {"NaN rounded", {5.0f, nan, 0.0f, 0.0f, 0.0f, 0.0f, 6}}, {"infinite angle", {5.0f, 0.0f, 0.0f, 0.0f, 0.0f, inf, 6}},
        {"aspect below -1", {5.0f, 0.0f, 0.0f, 0.0f, -3.0f, 0.0f, 6}}, {"zero pixel aspect", {5.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6, 0.0f}},
        {"image, negative radius", {-4.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}, 0.0f, true},
        {"image at factor 0", {10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}, 0.0f, true, 0.0f},
        {"image of pixel aspect 0", {10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}, 0.0f, true, 1.0f, 0.0f},
    };
    test::Owned_Layer<Iris> image(20, 20);
    image.fill_random(3);
    for (const auto& c : cases) {
        image.layer().horizontal_factor = image.layer().vertical_factor = c.image_factor;
        image.layer().pixel_aspect = c.image_pixel_aspect;
        test::Owned_Layer<Out> out(24, 20);
        draw<Out, Iris>(out, c.iris, c.soften, c.image ? image.layer() : Layer<Iris>{});
        for (int64_t y = 0; y < 20; ++y)
            for (int64_t x = 0; x < 24; ++x)
                ASSERT_TRUE(colour_and_alpha_problem(out.at(x, y)).empty() && shown(out.at(x, y)) == 0.0)
                    << c.label << " at (" << x << ", " << y << ")";
    }
}

using Gray_Image = test::Owned_Layer<Pixel_Gray_32f>;

double at(const Gray_Image& image, int64_t x, int64_t y) { return image.at(x, y).v(); }

// Softening is the drawn iris blurred in place by a tent of the soften radius in full-resolution
// pixels, rows and columns mirrored at the edges. Reference: a direct tent sum in double over the
// unsoftened drawing, rounded after each pass for 8 and 16 bits as those layers store it. The blur
// keeps running sums in float: a few float epsilons for float layers, one code value for integers.
TYPED_TEST(KernelDrawIrisVariant, SoftenIsATentBlurOfTheDrawnIris) {
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
                                                     c.soften * c.iris.vertical_factor, integer ? Out::white : 0.0);
        const test::Worst_Difference worst = test::worst_difference(test::raw_plane(soft.layer()), expected);
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

// The image's shorter side spans 2·radius + 1 full-resolution pixels, the longer one keeps the
// image's proportions, and the output's pixel aspect narrows or widens it. For a white image the
// values along the centre row add up to the horizontal span: the zoom's overlapping windows are
// normalised, so every source pixel contributes 1/zoom to the row (float table sums: below 1e-4).
// Centring: the zoom maps the output's centre (W/2 as a float) to the image's centre, up to its
// convention of where a source pixel lies (half a source pixel, 0.5 / zoom layer pixels), and the
// centroid of the sampled edge ramps is off by less than half a layer pixel.
TEST(KernelDrawIris, AlternativeImageIsScaledToTheRadiusAndCentred) {
    const Alternative_Case cases[] = {{"reduced", 100, 50, 1.0f, 1.0f, 1.0f, 12.0f},
                                      {"enlarged", 20, 10, 1.0f, 1.0f, 1.0f, 19.5f},
                                      {"portrait", 60, 90, 1.0f, 1.0f, 1.0f, 14.5f},
                                      {"half resolution", 50, 25, 0.5f, 1.0f, 1.0f, 24.5f},
                                      {"wide output pixels", 100, 50, 1.0f, 1.0f, 2.0f, 24.5f},
                                      {"narrow image pixels", 100, 50, 1.0f, 0.5f, 1.0f, 24.5f}};
    for (const Alternative_Case& c : cases) {
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
}

// A gray iris is the mean of R, G and B, (230 + 153 + 76) / 3 = 153 = 0.6 white in whole numbers; a
// colour iris keeps all four channels in its own order.
TEST(KernelDrawIris, AlternativeImageGivesGrayOrColour) {
    test::Owned_Layer<Pixel_Bgra_8> iris(40, 40), eight(60, 60);
    iris.fill(Pixel_Bgra_8{{76, 153, 230, 255}});
    const test::Iris_Oracle_Settings settings{19.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6};
    test::Owned_Layer<Pixel_Gray_32f> gray(60, 60);
    draw<Pixel_Gray_32f, Pixel_Bgra_8>(gray, settings, 0.0f, iris.layer());
    EXPECT_NEAR(gray.at(30, 30).v(), 0.6f, 1e-6f);
    test::Owned_Layer<Pixel_Bgra_32f> rgb(60, 60);
    draw<Pixel_Bgra_32f, Pixel_Bgra_8>(rgb, settings, 0.0f, iris.layer());
    const Pixel_Bgra_32f p = rgb.at(30, 30);
    EXPECT_TRUE(std::fabs(p.r() - 230.0f / 255.0f) + std::fabs(p.g() - 0.6f) + std::fabs(p.b() - 76.0f / 255.0f) +
                    std::fabs(p.a() - 1.0f) < 1e-6f) << p.r() << ", " << p.g() << ", " << p.b() << ", " << p.a();
    draw<Pixel_Bgra_8, Pixel_Bgra_8>(eight, settings, 0.0f, iris.layer());
    EXPECT_EQ(eight.at(30, 30).c[0] + 256 * eight.at(30, 30).c[2] + 65536 * eight.at(30, 30).c[3], 76 + 256 * 230 + 65536 * 255);
}

}  // namespace
}  // namespace nb
