// Reading and writing image files: alpha conventions, clamping and depth checked against files
// OpenImageIO writes and reads directly; the command's tests round-trip every format.
#include "tools/image_file.h"

#include <OpenImageIO/imagebuf.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace nb::tools {
namespace {

using test::Temp_Folder;
using OIIO::TypeDesc;
using Values = std::vector<float>;

// Raw file contents as OpenImageIO gives them when asked not to touch alpha.
OIIO::ImageBuf read_raw(const std::filesystem::path& path) {
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    OIIO::ImageBuf in(path.string(), 0, 0, nullptr, &config);
    EXPECT_TRUE(in.read(0, 0, true, TypeDesc::FLOAT)) << in.geterror();
    return in;
}

// Writes a file without our code: the outside view of what other software produces.
void write_direct(const std::filesystem::path& path, int width, int channels, TypeDesc type, int alpha_channel,
                  const Values& values) {
    OIIO::ImageSpec header(width, static_cast<int>(values.size()) / width / channels, channels, type);
    header.alpha_channel = alpha_channel;
    auto out = OIIO::ImageOutput::create(path.string());
    ASSERT_TRUE(out && out->open(path.string(), header)) << OIIO::geterror();
    ASSERT_TRUE(out->write_image(TypeDesc::FLOAT, values.data()) && out->close()) << out->geterror();
}

Image_Rgba image_of(int width, const Values& rgba) {
    Image_Rgba image(width, static_cast<int64_t>(rgba.size()) / 4 / width);
    image.rgba = rgba;
    return image;
}

// Pixel 1 of the EXR emits light without covering anything (alpha 0): it has no straight colour and is
// read as stored, but written premultiplied it is gone.
TEST(ImageFile, EachFormatsAlphaConventionIsReadAndWritten) {
    Temp_Folder folder;
    write_direct(folder / "p.exr", 2, 4, TypeDesc::FLOAT, 3, {0.4f, 0.2f, 0.1f, 0.5f, 0.3f, 0.0f, 0.0f, 0.0f});
    const Image_Rgba exr = read_image_file(folder / "p.exr", int64_t{1} << 32).image;
    EXPECT_EQ(exr.rgba, (Values{0.8f, 0.4f, 0.2f, 0.5f, 0.3f, 0.0f, 0.0f, 0.0f}));
    write_image_file(folder / "q.exr", exr, 32);
    const OIIO::ImageBuf q = read_raw(folder / "q.exr");
    EXPECT_EQ(Values(static_cast<const float*>(q.localpixels()), static_cast<const float*>(q.localpixels()) + 8),
              (Values{0.4f, 0.2f, 0.1f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f}));
    // Without the straight-alpha attribute OpenImageIO writes TIFF with associated alpha, in float or bytes.
    for (const TypeDesc type : {TypeDesc::FLOAT, TypeDesc::UINT8}) {
        const std::filesystem::path tif = folder / (std::string("p_") + type.c_str() + ".tif");
        write_direct(tif, 1, 4, type, 3, {0.3f, 0.15f, 0.05f, 0.5f});
        const Image_Rgba read = widened(read_image_file(tif, int64_t{1} << 32).image);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(read.rgba[k], (Values{0.6f, 0.3f, 0.1f, 0.5f})[k], type == TypeDesc::FLOAT ? 0.0 : 0.005) << tif;
    }

    const Image_Rgba straight = image_of(2, {1.0f, 0.2f, 0.6f, 0.0f, 0.4f, 0.8f, 1.0f, 0.2f});
    write_image_file(folder / "s.png", straight, 8);
    const OIIO::ImageBuf png = read_raw(folder / "s.png");
    EXPECT_EQ(png.nativespec().get_int_attribute("oiio:UnassociatedAlpha"), 1);
    for (size_t i = 0; i < straight.rgba.size(); ++i)
        EXPECT_EQ(std::lround(static_cast<const float*>(png.localpixels())[i] * 255.0f), std::lround(straight.rgba[i] * 255.0f)) << "even under alpha 0";
    // Integer formats clamp and store NaN and infinities as 0.
    write_image_file(folder / "c.png", image_of(1, {-1.0f, 2.0f, NAN, 1.0f, HUGE_VALF, 1.0f, 0.0f, 1.0f}), 16);
    EXPECT_EQ(read_image_file(folder / "c.png", int64_t{1} << 32).image.rgba, (Values{0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f}));
    // Rows go to the file in strips; a tall image comes back row for row.
    Image_Rgba tall(3, 150);
    for (size_t i = 0; i < tall.rgba.size(); ++i) tall.rgba[i] = i % 4 == 3 ? 1.0f : static_cast<float>(i);
    write_image_file(folder / "tall.exr", tall, 32);
    EXPECT_EQ(read_image_file(folder / "tall.exr", int64_t{1} << 32).image.rgba, tall.rgba);
    // An image of its own is RGB where opaque, at the depth asked for.
    const OIIO::ImageSpec opaque = read_raw(folder / "c.png").nativespec();
    EXPECT_EQ(std::tuple(png.nativespec().format, png.nchannels(), opaque.format, opaque.nchannels),
              std::tuple(TypeDesc(TypeDesc::UINT8), 4, TypeDesc(TypeDesc::UINT16), 3));
}

}  // namespace
}  // namespace nb::tools
