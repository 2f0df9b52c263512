// Reading property lists: well-formed lists in either length convention, and every kind of damage.
#include "host/pipl_reader.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace nb::host {
namespace {

// A property list written by hand, independently of the plug-in's writer.
class List_Builder {
public:
    explicit List_Builder(uint32_t count, uint32_t version = 0) {
        u16(1);
        u32(version);
        u32(count);
    }
    void u16(uint32_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(v & 0xffff);
        u16(v >> 16);
    }
    // length: what the record says; the data is padded to 4 bytes whatever it says.
    void property(const char (&key)[5], std::vector<uint8_t> data, uint32_t length) {
        u32(property_code("8BIM"));
        u32(property_code(key));
        u32(0);
        u32(length);
        while (data.size() % 4) data.push_back(0);
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    void number(const char (&key)[5], uint32_t value) {
        property(key, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
                       static_cast<uint8_t>(value >> 24)},
                 4);
    }
    void pascal(const char (&key)[5], const std::string& text, bool padded_length) {
        std::vector<uint8_t> data{static_cast<uint8_t>(text.size())};
        data.insert(data.end(), text.begin(), text.end());
        const auto exact = static_cast<uint32_t>(data.size());
        property(key, data, padded_length ? (exact + 3) / 4 * 4 : exact);
    }
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> effect_list(bool padded_length) {
    List_Builder b(5);
    b.number("kind", property_code("eFKT"));
    b.pascal("name", "Some Effect", padded_length);
    b.pascal("catg", "Maker", padded_length);
    b.property("8664", {'G', 'o', 0}, padded_length ? 4 : 3);
    b.pascal("eMNA", "MAKER Some", padded_length);
    return b.bytes;
}

TEST(PiplReader, ReadsLengthsWithOrWithoutTheirPadding) {
    for (const bool padded : {true, false}) {
        const Effect_Discovery effect = discover_effect(Pipl(effect_list(padded)));
        EXPECT_EQ(effect.name, "Some Effect") << "padded " << padded;
        EXPECT_EQ(effect.category, "Maker") << "padded " << padded;
        EXPECT_EQ(effect.entry_point, "Go") << "padded " << padded;
        EXPECT_EQ(effect.match_name, "MAKER Some") << "padded " << padded;
        EXPECT_EQ(effect.out_flags2, 0u) << "an absent number reads 0";
    }
}

TEST(PiplReader, RefusesDamagedLists) {
    const std::vector<uint8_t> good = effect_list(true);
    std::vector<uint8_t> wrong_word = good;
    wrong_word[0] = 2;
    EXPECT_THROW(Pipl{wrong_word}, std::runtime_error);
    EXPECT_THROW(Pipl{List_Builder(0, 1).bytes}, std::runtime_error) << "unknown list version";
    for (std::size_t cut : {std::size_t{5}, std::size_t{12}, good.size() - 1}) {
        const std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_THROW(Pipl{truncated}, std::runtime_error) << "cut at " << cut;
    }
    std::vector<uint8_t> huge_length = good;
    huge_length[10 + 12 + 3] = 0x7f;  // the kind property's length: far beyond the end
    EXPECT_THROW(Pipl{huge_length}, std::runtime_error);
}

TEST(PiplReader, RefusesWhatIsNoCallableEffect) {
    List_Builder filter(1);
    filter.number("kind", property_code("8BFM"));
    EXPECT_THROW(discover_effect(Pipl(filter.bytes)), std::runtime_error);

    List_Builder no_entry(3);
    no_entry.number("kind", property_code("eFKT"));
    no_entry.pascal("name", "x", true);
    no_entry.pascal("catg", "y", true);
    EXPECT_THROW(discover_effect(Pipl(no_entry.bytes)), std::runtime_error);

    List_Builder broken_text(1);
    broken_text.property("name", {9, 'a'}, 2);  // claims 9 characters, holds 1
    EXPECT_THROW(Pipl(broken_text.bytes).pascal_string(property_code("name")), std::runtime_error);
    List_Builder unterminated(1);
    unterminated.property("8664", {'a', 'b', 'c', 'd'}, 4);
    EXPECT_THROW(Pipl(unterminated.bytes).c_string(property_code("8664")), std::runtime_error);
}

}  // namespace
}  // namespace nb::host
