// Run-time pixel descriptions: the typed variant each host format selects, and refusal of the others.
#include "util/pixel/pixel_format.h"

#include <gtest/gtest.h>

#include <typeinfo>

#include "base/exception.h"
#include "tests/support/log_sandbox.h"
#include "util/pixel/pixel_variant.h"

namespace nb {
namespace {

// Formats written out field by field (colour channels, extra channels, channel bytes, pixel bytes, red,
// green, blue and alpha positions), so a wrong constant in the product's table shows up here.
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
    const test::Log_Sandbox sandbox;
    // Float with an extra channel, RGBA order, and a description that takes too many channels.
    for (const Pixel_Format& format : {Pixel_Format(1, 4, 1, 4, 20, 1, 2, 3, 0), Pixel_Format(1, 4, 0, 1, 4, 0, 1, 2, 3)})
        EXPECT_THROW(with_pixel_variant(format, [](auto) {}), Exception_Assert) << format.full_size;
    EXPECT_THROW(Pixel_Format(1, 4, 5, 1, 9, 0, 1, 2, 3), Exception_Assert);
}

}  // namespace
}  // namespace nb
