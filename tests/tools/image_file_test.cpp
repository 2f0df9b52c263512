// Reading and writing image files: round trips per format and depth, alpha conventions checked against
// files OpenImageIO writes and reads directly; the command's tests see what fails.
#include "tools/image_file.h"

#include <OpenImageIO/imageio.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace nb::tools {
namespace {

using test::Temp_Folder;
using OIIO::TypeDesc;
using Values = std::vector<float>;

// Raw file contents as OpenImageIO gives them when asked not to touch alpha.
struct Raw_File {
    OIIO::ImageSpec header;
    Values values;
};

Raw_File read_raw(const std::filesystem::path& path) {
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    auto in = OIIO::ImageInput::open(path.string(), &config);
    EXPECT_TRUE(in) << OIIO::geterror();
    if (!in) return {};
    Raw_File raw{in->spec(), {}};
    raw.values.resize(raw.header.image_pixels() * raw.header.nchannels);
    EXPECT_TRUE(in->read_image(0, 0, 0, raw.header.nchannels, TypeDesc::FLOAT, raw.values.data()));
    return raw;
}

// Writes a file without our code: the outside view of what other software produces.
void write_direct(const std::filesystem::path& path, int width, int channels, TypeDesc type, int alpha_channel,
                  const Values& values, bool straight = false) {
    OIIO::ImageSpec header(width, static_cast<int>(values.size()) / width / channels, channels, type);
    header.alpha_channel = alpha_channel;
    if (straight) header.attribute("oiio:UnassociatedAlpha", 1);
    auto out = OIIO::ImageOutput::create(path.string());
    ASSERT_TRUE(out && out->open(path.string(), header)) << OIIO::geterror();
    ASSERT_TRUE(out->write_image(TypeDesc::FLOAT, values.data()) && out->close()) << out->geterror();
}

// Every value lies on the 8-bit grid (k / 255), so integer formats can hold them exactly; alpha
// is never 0 so that premultiplied formats can give colour back.
Image_Rgba grid_image(bool opaque) {
    Image_Rgba image(7, 5);
    for (int64_t i = 0; i < 7 * 5; ++i) {
        float* p = image.rgba.data() + i * 4;
        for (int c = 0; c < 3; ++c) p[c] = static_cast<float>((i * 37 + c * 91 + 5) % 256) / 255.0f;
        p[3] = opaque ? 1.0f : static_cast<float>(255 - (i * 29) % 250) / 255.0f;
    }
    return image;
}

Image_Rgba image_of(int width, const Values& rgba) {
    Image_Rgba image(width, static_cast<int64_t>(rgba.size()) / 4 / width);
    image.rgba = rgba;
    return image;
}

// The worst channel error, relative to the value above 1 for formats whose precision is relative.
double worst_error(const Values& actual, const Values& expected, bool relative) {
    double worst = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        worst = std::fmax(worst, std::fabs(actual[i] - expected[i]) / (relative ? std::fmax(1.0, std::fabs(expected[i])) : 1.0));
    return worst;
}

// Integer formats hold grid values exactly, so only float rounding of k / 255 and k / 65535 remains
// (below 1e-6). Premultiplied formats round c * a and divide again: two roundings, 2 ulp of float
// (2^-22 with margin), or for half 2 half-ulps (2^-10); their error is relative to the value above 1.
TEST(ImageFile, StraightAlphaImageComesBackAsWrittenInEveryFormatAndDepth) {
    const struct {
        const char* file;
        int bits;
        TypeDesc stored;  // what the file must hold
        int read_bits;    // the render depth the file reads as
        double tolerance;
    } cases[] = {{"a.png", 8, TypeDesc::UINT8, 8, 1e-6},    {"b.png", 16, TypeDesc::UINT16, 16, 1e-6},
                 {"c.png", 32, TypeDesc::UINT16, 16, 1e-6}, {"a.tif", 8, TypeDesc::UINT8, 8, 1e-6},
                 {"b.tif", 16, TypeDesc::UINT16, 16, 1e-6}, {"c.tif", 32, TypeDesc::FLOAT, 32, 0.0},
                 {"b.exr", 16, TypeDesc::HALF, 32, 0x1p-10}, {"c.exr", 32, TypeDesc::FLOAT, 32, 0x1p-22}};
    Temp_Folder folder;
    for (const auto& c : cases)
        for (const bool opaque : {true, false}) {
            const std::string what = std::string(c.file) + " at " + std::to_string(c.bits) + (opaque ? " opaque" : " with alpha");
            const Image_Rgba written = grid_image(opaque);
            write_image_file(folder / c.file, written, c.bits);
            const Loaded_Image read = read_image_file(folder / c.file, int64_t{1} << 32);
            ASSERT_EQ(read.image.rgba.size(), written.rgba.size()) << what;
            EXPECT_EQ(read.bits, c.read_bits) << what;
            EXPECT_LE(worst_error(read.image.rgba, written.rgba, c.stored.is_floating_point()), c.tolerance) << what;
            const Raw_File raw = read_raw(folder / c.file);
            EXPECT_EQ(raw.header.format, c.stored) << what;
            EXPECT_EQ(raw.header.nchannels, opaque ? 3 : 4) << what;
        }
}

// Pixel 1 of the EXR emits light without covering anything (alpha 0): it has no straight colour and is
// read as stored, but written premultiplied it is gone.
TEST(ImageFile, EachFormatsAlphaConventionIsReadAndWritten) {
    Temp_Folder folder;
    write_direct(folder / "p.exr", 2, 4, TypeDesc::FLOAT, 3, {0.4f, 0.2f, 0.1f, 0.5f, 0.3f, 0.0f, 0.0f, 0.0f});
    const Image_Rgba exr = read_image_file(folder / "p.exr", int64_t{1} << 32).image;
    EXPECT_EQ(exr.rgba, (Values{0.8f, 0.4f, 0.2f, 0.5f, 0.3f, 0.0f, 0.0f, 0.0f}));
    write_image_file(folder / "q.exr", exr, 32);
    EXPECT_EQ(read_raw(folder / "q.exr").values, (Values{0.4f, 0.2f, 0.1f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f}));
    // Without the straight-alpha attribute OpenImageIO writes TIFF with associated alpha.
    write_direct(folder / "p.tif", 1, 4, TypeDesc::FLOAT, 3, {0.3f, 0.15f, 0.05f, 0.5f});
    EXPECT_EQ(read_image_file(folder / "p.tif", int64_t{1} << 32).image.rgba, (Values{0.6f, 0.3f, 0.1f, 0.5f}));

    const Image_Rgba straight = image_of(2, {1.0f, 0.2f, 0.6f, 0.0f, 0.4f, 0.8f, 1.0f, 0.2f});
    write_image_file(folder / "s.png", straight, 8);
    const Raw_File png = read_raw(folder / "s.png");
    EXPECT_EQ(png.header.get_int_attribute("oiio:UnassociatedAlpha"), 1);
    for (size_t i = 0; i < straight.rgba.size(); ++i)
        EXPECT_EQ(std::lround(png.values[i] * 255.0f), std::lround(straight.rgba[i] * 255.0f)) << "even under alpha 0";
    // Integer formats clamp and store NaN as 0.
    write_image_file(folder / "c.png", image_of(1, {-1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN(), 1.0f}), 16);
    EXPECT_EQ(read_image_file(folder / "c.png", int64_t{1} << 32).image.rgba, (Values{0.0f, 1.0f, 0.0f, 1.0f}));
    // Grey with alpha, written straight by other software, reads as RGBA.
    write_direct(folder / "g.png", 1, 2, TypeDesc::UINT8, 1, {0.6f, 0.2f}, true);
    EXPECT_LE(worst_error(read_image_file(folder / "g.png", int64_t{1} << 32).image.rgba, {0.6f, 0.6f, 0.6f, 0.2f}, false), 1e-6);
}

}  // namespace
}  // namespace nb::tools
