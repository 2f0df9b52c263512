// The table from host pixel formats to typed variants: each row, its name, and refusal of the rest.
#include "util/pixel/pixel_variant.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "base/exception.h"

namespace nb {
namespace {

struct Row {
    Pixel_Format format;
    const std::type_info* pixel;
    std::string name;
};

// Formats written out field by field (channel bytes, pixel bytes, red/green/blue/alpha positions), so a
// wrong constant in the product's table shows up here.
const Row rows[] = {
    {Pixel_Format(1, 4, 0, 1, 4, 1, 2, 3, 0), &typeid(Pixel_Argb_8), "8 bit argb uc - cpu"},
    {Pixel_Format(1, 4, 0, 2, 8, 1, 2, 3, 0), &typeid(Pixel_Argb_16), "16 bit argb uc - cpu"},
    {Pixel_Format(1, 4, 0, 4, 16, 1, 2, 3, 0), &typeid(Pixel_Argb_32f), "32 bit argb float - cpu"},
    {Pixel_Format(1, 4, 0, 1, 4, 2, 1, 0, 3), &typeid(Pixel_Bgra_8), "8 bit bgra uc - cpu"},
    {Pixel_Format(1, 4, 0, 2, 8, 2, 1, 0, 3), &typeid(Pixel_Bgra_16), "16 bit bgra us - cpu"},
    {Pixel_Format(1, 4, 0, 4, 16, 2, 1, 0, 3), &typeid(Pixel_Bgra_32f), "32 bit bgra float - cpu"},
};

std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }

class PixelVariant : public ::testing::TestWithParam<Row> {};

TEST_P(PixelVariant, PicksThePixelTypeAndNamesIt) {
    const Row& row = GetParam();
    const auto [type, name] = with_pixel_variant(row.format, [](auto variant) {
        using P = typename decltype(variant)::pixel;
        return std::pair<const std::type_info*, std::string>(&typeid(P), std::string(variant.name));
    });
    EXPECT_EQ(*type, *row.pixel) << row.name;
    EXPECT_EQ(name, row.name);
}

INSTANTIATE_TEST_SUITE_P(Rows, PixelVariant, ::testing::ValuesIn(rows));

TEST(PixelVariant, RefusesFormatsWithoutVariant) {
    const Pixel_Format others[] = {
        Pixel_Format(1, 4, 1, 4, 20, 1, 2, 3, 0),  // float with an extra channel
        Pixel_Format(1, 1, 0, 4, 4, 0, -1, -1, -1),  // gray float
        Pixel_Format(1, 4, 0, 1, 4, 0, 1, 2, 3),   // RGBA order
        Pixel_Format(1, 4, 0, 2, 8, 3, 2, 1, 0),   // ABGR order
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
