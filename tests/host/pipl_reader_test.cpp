// Reading property lists: well-formed lists in either length convention, and every kind of damage.
#include "host/pipl_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace nb::host {
namespace {

struct Property {
    std::string key;
    std::vector<uint8_t> data;
    uint32_t length;  // what the record says; the data is padded to 4 bytes whatever it says
};

void put32(std::vector<uint8_t>& bytes, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(v >> shift));
}

// A property list written by hand, independently of the plug-in's writer. Codes are stored as
// little-endian numbers whose most significant byte is the first character, so they read backwards.
std::vector<uint8_t> list_of(const std::vector<Property>& properties, uint8_t word = 1, uint32_t version = 0) {
    std::vector<uint8_t> bytes{word, 0};
    put32(bytes, version);
    put32(bytes, static_cast<uint32_t>(properties.size()));
    for (const Property& p : properties) {
        bytes.insert(bytes.end(), {'M', 'I', 'B', '8'});
        bytes.insert(bytes.end(), p.key.rbegin(), p.key.rend());
        put32(bytes, 0);
        put32(bytes, p.length);
        bytes.insert(bytes.end(), p.data.begin(), p.data.end());
        bytes.resize(bytes.size() + (4 - p.data.size() % 4) % 4);
    }
    return bytes;
}

Property text(const char* key, const std::string& value, bool padded_length) {
    std::vector<uint8_t> data{static_cast<uint8_t>(value.size())};
    data.insert(data.end(), value.begin(), value.end());
    const auto exact = static_cast<uint32_t>(data.size());
    return {key, data, padded_length ? (exact + 3) / 4 * 4 : exact};
}

std::vector<Property> effect(bool padded_length = true) {
    return {{"kind", {'T', 'K', 'F', 'e'}, 4}, text("name", "Some Effect", padded_length),
            text("catg", "Maker", padded_length), {"8664", {'G', 'o', 0}, padded_length ? 4u : 3u},
            text("eMNA", "MAKER Some", padded_length)};
}

// The effect's list with one property replaced, or added when it has none of that key.
std::vector<uint8_t> effect_with(const Property& changed) {
    std::vector<Property> properties = effect();
    const auto same = std::find_if(properties.begin(), properties.end(), [&](auto& p) { return p.key == changed.key; });
    if (same == properties.end()) properties.push_back(changed);
    else *same = changed;
    return list_of(properties);
}

TEST(PiplReader, ReadsLengthsWithOrWithoutTheirPadding) {
    for (const bool padded : {true, false}) {
        const Effect_Discovery found = discover_effect(Pipl(list_of(effect(padded))));
        EXPECT_EQ(found.name, "Some Effect") << "padded " << padded;
        EXPECT_EQ(found.entry_point, "Go") << "padded " << padded;
        EXPECT_EQ(found.match_name, "MAKER Some") << "padded " << padded;
        EXPECT_EQ(found.out_flags2, 0u) << "an absent number reads 0";
        EXPECT_EQ(found.api_version, (std::array<uint16_t, 2>{0, 0})) << "an absent version reads 0.0";
    }
}

TEST(PiplReader, RefusesDamagedListsAndWhatIsNoCallableEffect) {
    const std::vector<uint8_t> good = list_of(effect());
    std::vector<uint8_t> huge_length = good;
    huge_length[10 + 12 + 3] = 0x7f;  // the kind property's length: far beyond the end
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"resource word 2", list_of(effect(), 2)},
        {"list version 1", list_of(effect(), 1, 1)},
        {"cut inside the header", {good.begin(), good.begin() + 5}},
        {"cut inside a record", {good.begin(), good.begin() + 12}},
        {"cut inside the padding", {good.begin(), good.end() - 1}},
        {"length beyond the end", huge_length},
        {"a filter's kind", effect_with({"kind", {'M', 'F', 'B', '8'}, 4})},
        {"no entry point", list_of({effect()[0], effect()[1], effect()[2], effect()[4]})},
        {"name claims 9 characters, holds 1", effect_with({"name", {9, 'a'}, 2})},
        {"unterminated entry point", effect_with({"8664", {'a', 'b', 'c', 'd'}, 4})},
        {"version of 16 bits", effect_with({"ePVR", {2, 0}, 2})},
    };
    for (const auto& c : cases) EXPECT_THROW(discover_effect(Pipl(c.bytes)), std::runtime_error) << c.what;
}

}  // namespace
}  // namespace nb::host
