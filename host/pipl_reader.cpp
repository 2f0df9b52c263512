// Parsing of property lists: a bounds-checked cursor over the bytes, and the effect's facts from them.
#include "host/pipl_reader.h"

#include <stdexcept>

namespace nb::host {
namespace {

constexpr uint32_t vendor_adobe = property_code("8BIM");

std::string code_text(uint32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((code >> shift) & 0xff);
    return text;
}

class Cursor {
public:
    explicit Cursor(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    uint32_t u16() { return take(2); }
    uint32_t u32() { return take(4); }
    std::vector<uint8_t> bytes(uint32_t count) {
        need(count);
        std::vector<uint8_t> out(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                                 bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + count));
        at_ += count;
        return out;
    }
    void skip(uint64_t count) {
        need(count);
        at_ += count;
    }

private:
    void need(uint64_t count) const {
        if (count > bytes_.size() - at_) throw std::runtime_error("property list ends inside a record");
    }
    uint32_t take(int count) {
        need(static_cast<uint64_t>(count));
        uint32_t value = 0;
        for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes_[at_ + static_cast<uint64_t>(i)];
        at_ += static_cast<uint64_t>(count);
        return value;
    }

    const std::vector<uint8_t>& bytes_;
    uint64_t at_ = 0;
};

uint32_t little_endian(const std::vector<uint8_t>& data, std::size_t at) {
    return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
           static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

}  // namespace

Pipl::Pipl(const std::vector<uint8_t>& bytes) {
    Cursor cursor(bytes);
    if (cursor.u16() != 1) throw std::runtime_error("not a property list resource");
    version_ = cursor.u32();
    if (version_ != 0) throw std::runtime_error("unknown property list version " + std::to_string(version_));
    const uint32_t count = cursor.u32();
    for (uint32_t i = 0; i < count; ++i) {
        Pipl_Property property;
        property.vendor = cursor.u32();
        property.key = cursor.u32();
        property.id = cursor.u32();
        const uint32_t length = cursor.u32();
        property.data = cursor.bytes(length);
        cursor.skip((4 - length % 4) % 4);
        properties_.push_back(std::move(property));
    }
}

bool Pipl::has(uint32_t key) const {
    for (const Pipl_Property& p : properties_)
        if (p.key == key) return true;
    return false;
}

const Pipl_Property& Pipl::property(uint32_t key) const {
    for (const Pipl_Property& p : properties_)
        if (p.key == key) return p;
    throw std::runtime_error("property list has no '" + code_text(key) + "' property");
}

uint32_t Pipl::number(uint32_t key) const {
    const Pipl_Property& p = property(key);
    if (p.data.size() < 4) throw std::runtime_error("'" + code_text(key) + "' holds no 32-bit number");
    return little_endian(p.data, 0);
}

std::string Pipl::pascal_string(uint32_t key) const {
    const Pipl_Property& p = property(key);
    if (p.data.empty() || p.data[0] + 1u > p.data.size())
        throw std::runtime_error("'" + code_text(key) + "' holds no complete Pascal string");
    return std::string(p.data.begin() + 1, p.data.begin() + 1 + p.data[0]);
}

std::string Pipl::c_string(uint32_t key) const {
    const Pipl_Property& p = property(key);
    std::string text;
    for (const uint8_t c : p.data) {
        if (c == 0) return text;
        text += static_cast<char>(c);
    }
    throw std::runtime_error("'" + code_text(key) + "' holds no terminated name");
}

std::array<uint16_t, 2> Pipl::version_pair(uint32_t key) const {
    const uint32_t both = number(key);
    return {static_cast<uint16_t>(both & 0xffff), static_cast<uint16_t>(both >> 16)};
}

Effect_Discovery discover_effect(const Pipl& pipl) {
    const Pipl_Property& kind = pipl.property(property_code("kind"));
    if (kind.vendor != vendor_adobe || pipl.number(property_code("kind")) != property_code("eFKT"))
        throw std::runtime_error("the property list does not describe an effect");
    Effect_Discovery effect;
    effect.name = pipl.pascal_string(property_code("name"));
    effect.category = pipl.pascal_string(property_code("catg"));
    effect.match_name = pipl.pascal_string(property_code("eMNA"));
    effect.entry_point = pipl.c_string(property_code("8664"));
    // Older effects may leave out any of the numbers; the host then assumes 0.
    const auto optional = [&pipl](const char (&code)[5]) {
        return pipl.has(property_code(code)) ? pipl.number(property_code(code)) : 0u;
    };
    const auto optional_version = [&pipl](const char (&code)[5]) {
        return pipl.has(property_code(code)) ? pipl.version_pair(property_code(code)) : std::array<uint16_t, 2>{};
    };
    effect.effect_version = optional("eVER");
    effect.pipl_version = optional_version("ePVR");
    effect.api_version = optional_version("eSVR");
    effect.out_flags = optional("eGLO");
    effect.out_flags2 = optional("eGL2");
    if (effect.match_name.empty() || effect.entry_point.empty())
        throw std::runtime_error("the effect's property list names no match name or entry point");
    return effect;
}

}  // namespace nb::host
