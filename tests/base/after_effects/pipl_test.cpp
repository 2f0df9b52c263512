// The property list's byte layout: header, property records, padding and text limits.
#include "base/after_effects/pipl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exception.h"
#include "host/pipl_reader.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

std::vector<uint8_t> bytes_of(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<uint8_t> slice(const std::vector<uint8_t>& bytes, std::size_t at, std::size_t count) {
    return std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                bytes.begin() + static_cast<std::ptrdiff_t>(at + count));
}

Pipl_Description sample() {
    Pipl_Description d;
    d.name = "abcde";  // 1 + 5 bytes, padded to 8
    d.category = "xyz";  // 1 + 3 bytes, no padding
    d.entry_point = "Main";  // 4 + the terminating zero, padded to 8
    d.api_version_major = 13;
    d.api_version_minor = 28;
    d.effect_version = 0x01020304;
    d.out_flags = 0x0a0b0c0d;
    d.out_flags2 = 7;
    d.match_name = "m";
    d.support_url = "";
    return d;
}

TEST(Pipl, HeaderAndFirstPropertyAreLaidOutByteByByte) {
    const std::vector<uint8_t> bytes = pipl_bytes(sample());
    // Worked out by hand: word 1, version 0, count 13, then '8BIM' 'kind' id 0 length 4 'eFKT', every
    // number little-endian, so the codes read backwards.
    std::vector<uint8_t> expected{1, 0, 0, 0, 0, 0, 13, 0, 0, 0};
    for (const std::string& part : {std::string("MIB8"), std::string("dnik")}) {
        const auto b = bytes_of(part);
        expected.insert(expected.end(), b.begin(), b.end());
    }
    expected.insert(expected.end(), {0, 0, 0, 0, 4, 0, 0, 0});
    const auto kind = bytes_of("TKFe");
    expected.insert(expected.end(), kind.begin(), kind.end());
    ASSERT_GE(bytes.size(), expected.size());
    EXPECT_EQ(slice(bytes, 0, expected.size()), expected);
}

TEST(Pipl, TextsArePaddedToFourBytesAndLengthsCountThePadding) {
    const std::vector<uint8_t> bytes = pipl_bytes(sample());
    // The name property follows the kind property (10 + 20 bytes): 16 bytes of record, then 8 of data.
    const std::size_t name = 30;
    EXPECT_EQ(slice(bytes, name + 4, 4), bytes_of("eman"));
    EXPECT_EQ(slice(bytes, name + 12, 4), (std::vector<uint8_t>{8, 0, 0, 0}));
    EXPECT_EQ(slice(bytes, name + 16, 8), (std::vector<uint8_t>{5, 'a', 'b', 'c', 'd', 'e', 0, 0}));
    EXPECT_EQ(bytes.size() % 4, 2u) << "every record is a multiple of 4 after the 2-byte resource word";

    // 14 characters and the terminating zero take 16 bytes.
    Pipl_Description d = sample();
    d.entry_point = "EntryPointFunc";
    const std::vector<uint8_t> entry = host::Pipl(pipl_bytes(d)).property(host::property_code("8664")).data;
    EXPECT_EQ(entry, bytes_of(std::string("EntryPointFunc\0\0", 16)));
}

TEST(Pipl, ReadsBackInTheFixedOrderWithEveryValue) {
    const host::Pipl pipl(pipl_bytes(sample()));
    const char* keys[] = {"kind", "name", "catg", "8664", "ePVR", "eSVR", "eVER",
                          "eINF", "eGLO", "eGL2", "eMNA", "aeFL", "eURL"};
    ASSERT_EQ(pipl.properties().size(), 13u);
    for (std::size_t i = 0; i < 13; ++i) {
        const host::Pipl_Property& p = pipl.properties()[i];
        uint32_t key = 0;
        for (int c = 0; c < 4; ++c) key = key << 8 | static_cast<unsigned char>(keys[i][c]);
        EXPECT_EQ(p.key, key) << "property " << i << " should be " << keys[i];
        EXPECT_EQ(p.vendor, host::property_code("8BIM")) << keys[i];
        EXPECT_EQ(p.id, 0u) << keys[i];
        EXPECT_EQ(p.data.size() % 4, 0u) << keys[i];
    }
    EXPECT_EQ(pipl.c_string(host::property_code("8664")), "Main");
    EXPECT_EQ(pipl.property(host::property_code("8664")).data.size(), 8u);
    EXPECT_EQ(pipl.number(host::property_code("ePVR")), 0x00020000u);  // 2.0, major in the high half
    EXPECT_EQ(pipl.number(host::property_code("eSVR")), (13u << 16) | 28u);
    EXPECT_EQ(pipl.number(host::property_code("eVER")), 0x01020304u);
    EXPECT_EQ(pipl.number(host::property_code("eGLO")), 0x0a0b0c0du);
    EXPECT_EQ(pipl.number(host::property_code("eGL2")), 7u);
    EXPECT_EQ(pipl.pascal_string(host::property_code("catg")), "xyz");
    EXPECT_EQ(pipl.pascal_string(host::property_code("eMNA")), "m");
    EXPECT_EQ(pipl.pascal_string(host::property_code("eURL")), "");
}

TEST(Pipl, TextsLongerThanAPascalStringCanHoldAreRefused) {
    test::Log_Sandbox log;
    Pipl_Description d = sample();
    d.match_name = std::string(255, 'x');
    EXPECT_NO_THROW(pipl_bytes(d));
    d.match_name = std::string(256, 'x');
    EXPECT_THROW(pipl_bytes(d), Exception_Assert);
}

}  // namespace
}  // namespace nb
