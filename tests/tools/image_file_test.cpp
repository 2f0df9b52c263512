// Tests of reading and writing image files: round trips per format and depth, alpha conventions
// checked against files OpenImageIO writes and reads directly, data windows and error messages.
#include "tools/image_file.h"

#include <OpenImageIO/imageio.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/image_rgba_compare.h"
#include "tests/support/temp_folder.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

using test::Temp_Folder;
using test::worst_rgba_difference;
using OIIO::TypeDesc;

// Raw file contents as OpenImageIO gives them when asked not to touch alpha.
struct Raw_File {
    OIIO::ImageSpec header;
    std::vector<float> values;
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
void write_direct(const std::filesystem::path& path, OIIO::ImageSpec header, const std::vector<float>& values) {
    auto out = OIIO::ImageOutput::create(path.string());
    ASSERT_TRUE(out) << OIIO::geterror();
    ASSERT_TRUE(out->open(path.string(), header)) << out->geterror();
    ASSERT_TRUE(out->write_image(TypeDesc::FLOAT, values.data())) << out->geterror();
    ASSERT_TRUE(out->close()) << out->geterror();
}

OIIO::ImageSpec header_of(int width, int height, int channels, TypeDesc type, int alpha_channel = -1) {
    OIIO::ImageSpec header(width, height, channels, type);
    header.alpha_channel = alpha_channel;
    return header;
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

std::string one_line_error(const std::function<void()>& action) {
    try {
        action();
    } catch (const Tool_Error& e) {
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
        return e.what();
    }
    ADD_FAILURE() << "no Tool_Error";
    return {};
}

struct Round_Trip_Case {
    const char* name;
    const char* file;
    int bits;
    TypeDesc stored;   // what the file must hold
    int read_bits;     // the render depth the file reads as
    bool relative;     // precision relative to the value (half, float)
    // Largest allowed error. Integer formats hold grid values exactly, so only float rounding of
    // k / 255 and k / 65535 remains (below 1e-6). Premultiplied formats round c * a and divide
    // again: two roundings, 2 ulp of float (2^-22 with margin), or for half 2 half-ulps (2^-10).
    double tolerance;
};

void PrintTo(const Round_Trip_Case& c, std::ostream* out) { *out << c.name; }

class ImageFileRoundTrip : public testing::TestWithParam<Round_Trip_Case> {};

TEST_P(ImageFileRoundTrip, StraightAlphaImageComesBackAsWritten) {
    const Round_Trip_Case& c = GetParam();
    Temp_Folder folder;
    for (const bool opaque : {true, false}) {
        const Image_Rgba written = grid_image(opaque);
        write_image_file(folder / c.file, written, c.bits);
        const Loaded_Image read = read_image_file(folder / c.file);
        ASSERT_EQ(read.image.width, written.width);
        ASSERT_EQ(read.image.height, written.height);
        EXPECT_EQ(read.bits, c.read_bits) << c.name;
        const auto worst = worst_rgba_difference(read.image, written, c.relative);
        EXPECT_LE(worst.error, c.tolerance) << c.name << (opaque ? " opaque: " : " with alpha: ") << worst.describe();

        const Raw_File raw = read_raw(folder / c.file);
        EXPECT_EQ(raw.header.format, c.stored) << c.name << " stored " << raw.header.format;
        EXPECT_EQ(raw.header.nchannels, opaque ? 3 : 4) << c.name << (opaque ? " opaque" : " with alpha");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ImageFileRoundTrip,
    testing::Values(Round_Trip_Case{"png8", "a.png", 8, TypeDesc::UINT8, 8, false, 1e-6},
                    Round_Trip_Case{"png16", "a.png", 16, TypeDesc::UINT16, 16, false, 1e-6},
                    Round_Trip_Case{"png32", "a.png", 32, TypeDesc::UINT16, 16, false, 1e-6},
                    Round_Trip_Case{"tiff8", "a.tif", 8, TypeDesc::UINT8, 8, false, 1e-6},
                    Round_Trip_Case{"tiff16", "a.tif", 16, TypeDesc::UINT16, 16, false, 1e-6},
                    Round_Trip_Case{"tiff32", "a.tif", 32, TypeDesc::FLOAT, 32, true, 0.0},
                    Round_Trip_Case{"exr16", "a.exr", 16, TypeDesc::HALF, 32, true, 0x1p-10},
                    Round_Trip_Case{"exr32", "a.exr", 32, TypeDesc::FLOAT, 32, true, 0x1p-22}),
    [](const testing::TestParamInfo<Round_Trip_Case>& info) { return std::string(info.param.name); });

TEST(ImageFile, ExrKeepsSceneValuesBitForBit) {
    Temp_Folder folder;
    Image_Rgba image(4, 2);
    const float values[] = {0.0f, 1e-30f, 0.1f, 1.0f, 3.14159f, 250.5f, 1e30f, -0.5f,
                            std::numeric_limits<float>::infinity(), std::numeric_limits<float>::denorm_min()};
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = i % 4 == 3 ? 1.0f : values[i % 10];
    write_image_file(folder / "hdr.exr", image, 32);
    const Loaded_Image read = read_image_file(folder / "hdr.exr");
    EXPECT_EQ(read.image.rgba, image.rgba);
    EXPECT_EQ(read.format, "openexr");
}

TEST(ImageFile, PremultipliedExrReadsStraightAndIsWrittenPremultiplied) {
    Temp_Folder folder;
    // Pixel 0 half covered; pixel 1 emits light without covering anything (alpha 0), which has no
    // straight colour: it is kept as stored.
    write_direct(folder / "p.exr", header_of(2, 1, 4, TypeDesc::FLOAT, 3), {0.4f, 0.2f, 0.1f, 0.5f, 0.3f, 0.0f, 0.0f, 0.0f});
    const Image_Rgba read = read_image_file(folder / "p.exr").image;
    EXPECT_EQ(read.rgba, (std::vector<float>{0.8f, 0.4f, 0.2f, 0.5f, 0.3f, 0.0f, 0.0f, 0.0f}));

    write_image_file(folder / "q.exr", read, 32);
    EXPECT_EQ(read_raw(folder / "q.exr").values, (std::vector<float>{0.4f, 0.2f, 0.1f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f}));
}

TEST(ImageFile, AssociatedAlphaTiffReadsStraight) {
    Temp_Folder folder;
    // Without the straight-alpha attribute OpenImageIO writes TIFF with associated alpha.
    write_direct(folder / "p.tif", header_of(1, 1, 4, TypeDesc::FLOAT, 3), {0.3f, 0.15f, 0.05f, 0.5f});
    EXPECT_EQ(read_image_file(folder / "p.tif").image.rgba, (std::vector<float>{0.6f, 0.3f, 0.1f, 0.5f}));
}

TEST(ImageFile, PngStoresStraightColourEvenUnderZeroAlpha) {
    Temp_Folder folder;
    Image_Rgba image(2, 1);
    image.rgba = {1.0f, 0.2f, 0.6f, 0.0f, 0.4f, 0.8f, 1.0f, 0.2f};
    write_image_file(folder / "s.png", image, 8);
    const Raw_File raw = read_raw(folder / "s.png");
    EXPECT_EQ(raw.header.get_int_attribute("oiio:UnassociatedAlpha"), 1);
    for (size_t i = 0; i < image.rgba.size(); ++i)
        EXPECT_EQ(std::lround(raw.values[i] * 255.0f), std::lround(image.rgba[i] * 255.0f)) << "channel " << i;
}

struct Opaque_Case {
    const char* name;
    const char* file;
    int channels;
    std::vector<float> values;  // one pixel
    std::vector<float> expected;
    double tolerance;  // JPEG compresses even a flat 8 x 8 block: a few codes through its colour space
};

void PrintTo(const Opaque_Case& c, std::ostream* out) { *out << c.name; }

class ImageFileWithoutAlpha : public testing::TestWithParam<Opaque_Case> {};

TEST_P(ImageFileWithoutAlpha, ReadsOpaque) {
    const Opaque_Case& c = GetParam();
    Temp_Folder folder;
    std::vector<float> values;
    for (int i = 0; i < 64; ++i) values.insert(values.end(), c.values.begin(), c.values.end());
    write_direct(folder / c.file, header_of(8, 8, c.channels, TypeDesc::UINT8), values);
    const Image_Rgba read = read_image_file(folder / c.file).image;
    for (int channel = 0; channel < 4; ++channel)
        EXPECT_NEAR(read.pixel(3, 5)[channel], c.expected[channel], c.tolerance) << c.name << " channel " << channel;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImageFileWithoutAlpha,
    testing::Values(Opaque_Case{"png_rgb", "a.png", 3, {0.2f, 0.4f, 0.6f}, {0.2f, 0.4f, 0.6f, 1.0f}, 0.5 / 255},
                    Opaque_Case{"png_grey", "a.png", 1, {0.4f}, {0.4f, 0.4f, 0.4f, 1.0f}, 0.5 / 255},
                    Opaque_Case{"jpeg", "a.jpg", 3, {0.2f, 0.4f, 0.6f}, {0.2f, 0.4f, 0.6f, 1.0f}, 3.0 / 255}),
    [](const testing::TestParamInfo<Opaque_Case>& info) { return std::string(info.param.name); });

TEST(ImageFile, GreyWithAlphaFillsAllColourChannels) {
    Temp_Folder folder;
    OIIO::ImageSpec header = header_of(1, 1, 2, TypeDesc::UINT8, 1);
    header.attribute("oiio:UnassociatedAlpha", 1);
    write_direct(folder / "ga.png", header, {0.6f, 0.2f});
    const Image_Rgba read = read_image_file(folder / "ga.png").image;
    EXPECT_NEAR(read.rgba[0], 0.6f, 1e-6);
    EXPECT_EQ(read.rgba[0], read.rgba[1]);
    EXPECT_EQ(read.rgba[0], read.rgba[2]);
    EXPECT_NEAR(read.rgba[3], 0.2f, 1e-6);
}

TEST(ImageFile, JpegStoresColourOverBlack) {
    Temp_Folder folder;
    Image_Rgba image(8, 8);
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = 0.8f, image.rgba[i + 1] = 0.4f, image.rgba[i + 2] = 0.6f, image.rgba[i + 3] = 0.5f;
    }
    write_image_file(folder / "o.jpg", image, 8);
    const Raw_File raw = read_raw(folder / "o.jpg");
    ASSERT_EQ(raw.header.nchannels, 3);
    const float expected[] = {0.4f, 0.2f, 0.3f};  // colour times alpha
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(raw.values[c], expected[c], 3.0 / 255) << "channel " << c;
}

TEST(ImageFile, IntegerFormatsClampAndStoreNanAsZero) {
    Temp_Folder folder;
    Image_Rgba image(1, 1);
    image.rgba = {-1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN(), 1.0f};
    write_image_file(folder / "c.png", image, 16);
    EXPECT_EQ(read_image_file(folder / "c.png").image.rgba, (std::vector<float>{0.0f, 1.0f, 0.0f, 1.0f}));
}

TEST(ImageFile, ExrKeepsTheDataWindow) {
    Temp_Folder folder;
    Image_Rgba grown(14, 10);
    grown.x = -2, grown.y = -1, grown.frame_width = 10, grown.frame_height = 8;
    for (size_t i = 0; i < grown.rgba.size(); ++i) grown.rgba[i] = static_cast<float>(i % 7) * 0.25f;
    write_image_file(folder / "g.exr", grown, 32);

    const Raw_File raw = read_raw(folder / "g.exr");
    EXPECT_EQ(raw.header.x, -2);
    EXPECT_EQ(raw.header.y, -1);
    EXPECT_EQ(raw.header.full_width, 10);
    EXPECT_EQ(raw.header.full_height, 8);

    const Image_Rgba read = read_image_file(folder / "g.exr").image;
    EXPECT_EQ(read.x, -2);
    EXPECT_EQ(read.y, -1);
    EXPECT_EQ(read.frame_width, 10);
    EXPECT_EQ(read.frame_height, 8);
    EXPECT_EQ(read.width, 14);
}

TEST(ImageFile, HalfExrReadsAsFloatDepth) {
    Temp_Folder folder;
    write_direct(folder / "h.exr", header_of(1, 1, 3, TypeDesc::HALF), {12.5f, 0.25f, 0.0f});
    const Loaded_Image read = read_image_file(folder / "h.exr");
    EXPECT_EQ(read.bits, 32);
    EXPECT_EQ(read.image.rgba, (std::vector<float>{12.5f, 0.25f, 0.0f, 1.0f}));
}

TEST(ImageFile, ReadErrorsNameTheFileAndTheReason) {
    Temp_Folder folder;
    std::ofstream(folder / "bad.png") << "not a png";
    std::ofstream(folder / "notes.xyz") << "text";
    const struct {
        std::filesystem::path path;
        const char* reason;
    } cases[] = {{folder / "missing.exr", "no such file"},
                 {folder.path(), "it is a folder"},
                 {folder / "notes.xyz", "unsupported image format"},
                 {folder / "bad.png", "cannot read"}};
    for (const auto& c : cases) {
        const std::string message = one_line_error([&] { read_image_file(c.path); });
        EXPECT_NE(message.find("cannot read '" + c.path.string() + "'"), std::string::npos) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
}

TEST(ImageFile, WriteErrorsLeaveNoFileBehind) {
    Temp_Folder folder;
    const Image_Rgba image = grid_image(false);
    EXPECT_NE(one_line_error([&] { write_image_file(folder / "a.xyz", image, 8); }).find("unsupported image format"),
              std::string::npos);
    EXPECT_NE(one_line_error([&] { write_image_file(folder / "a.png", image, 12); }).find("bit depth 12"),
              std::string::npos);
    EXPECT_NE(one_line_error([&] { write_image_file(folder / "a.png", Image_Rgba(), 8); }).find("no pixels"),
              std::string::npos);
    // libjpeg would end the process on this size; the limit is checked before it is reached.
    EXPECT_NE(one_line_error([&] { write_image_file(folder / "a.jpg", Image_Rgba(65501, 1), 8); }).find("65500"),
              std::string::npos);
    // The write succeeds into the temporary file, then the rename onto a folder fails.
    std::filesystem::create_directory(folder / "taken.exr");
    std::ofstream(folder / "taken.exr" / "inside") << "x";
    one_line_error([&] { write_image_file(folder / "taken.exr", image, 32); });
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken.exr"});
}

}  // namespace
}  // namespace nb::tools
