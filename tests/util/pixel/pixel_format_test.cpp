// Run-time pixel descriptions: refusal of impossible ones, and the typed variant each host format selects.
#include "util/pixel/pixel_format.h"

#include <gtest/gtest.h>

#include <typeinfo>

#include "base/exception.h"
#include "tests/support/log_sandbox.h"
#include "util/pixel/pixel_variant.h"

namespace nb {
namespace {

// Arguments: colour channels, extra channels, channel bytes, pixel bytes, red/green/blue/alpha positions.
TEST(PixelFormat, ImpossibleDescriptionsAreRefused) {
    const int64_t cases[][8] = {{5, 0, 1, 5, 0, 1, 2, 3},  {4, 5, 1, 9, 0, 1, 2, 3},  {4, 0, 1, 4, -1, 1, 2, 3},
                                {3, 0, 1, 3, 0, 1, -1, -1}, {4, 0, 1, 4, 1, 2, 3, -1}, {4, 0, 4, 12, 1, 2, 3, 0}};
    const test::Log_Sandbox sandbox;
    for (const auto& v : cases)
        EXPECT_THROW(Pixel_Format(1, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]), Exception_Assert) << v[0];
    EXPECT_NO_THROW(Pixel_Format(1, 1, 0, 4, 4, 0, -1, -1, -1)) << "a single channel needs only its first position";
}

// Formats written out field by field, so a wrong constant in the product's table shows up here.
TEST(PixelFormat, EachHostFormatSelectsItsVariantAndOthersAreRefused) {
    const struct {
        Pixel_Format format;
        const std::type_info* pixel;
    } rows[] = {
        {Pixel_Format(1, 4, 0, 1, 4, 1, 2, 3, 0), &typeid(Pixel_Argb_8)},
        {Pixel_Format(1, 4, 0, 2, 8, 1, 2, 3, 0), &typeid(Pixel_Argb_16)},
        {Pixel_Format(1, 4, 0, 4, 16, 1, 2, 3, 0), &typeid(Pixel_Argb_32f)},
        {Pixel_Format(1, 4, 0, 1, 4, 2, 1, 0, 3), &typeid(Pixel_Bgra_8)},
        {Pixel_Format(1, 4, 0, 2, 8, 2, 1, 0, 3), &typeid(Pixel_Bgra_16)},
        {Pixel_Format(1, 4, 0, 4, 16, 2, 1, 0, 3), &typeid(Pixel_Bgra_32f)},
    };
    for (const auto& row : rows) {
        const auto [type, described] = with_pixel_variant(row.format, [](auto variant) {
            using P = typename decltype(variant)::pixel;
            return std::pair(&typeid(P), pixel_format_of<P>());
        });
        EXPECT_EQ(*type, *row.pixel) << row.pixel->name();
        EXPECT_EQ(described, row.format) << row.pixel->name();
    }
    const Pixel_Format others[] = {
        Pixel_Format(1, 4, 1, 4, 20, 1, 2, 3, 0),    // float with an extra channel
        Pixel_Format(1, 1, 0, 4, 4, 0, -1, -1, -1),  // gray float
        Pixel_Format(1, 4, 0, 1, 4, 0, 1, 2, 3),     // RGBA order
        Pixel_Format(1, 4, 0, 2, 8, 3, 2, 1, 0),     // ABGR order
        Pixel_Format(1, 4, 0, 1, 4, 1, 2, 3, 3),     // alpha sharing blue's place
        Pixel_Format(),
    };
    for (const Pixel_Format& format : others) {
        bool called = false;
        EXPECT_THROW(with_pixel_variant(format, [&](auto) { called = true; }), Exception_Assert)
            << "channel bytes " << format.channel_size << ", pixel bytes " << format.full_size;
        EXPECT_FALSE(called);
    }
}

}  // namespace
}  // namespace nb
