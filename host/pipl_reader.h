// Reads a plug-in's property list (PiPL) the way the host does before it loads any code.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nb::host {

// A four-character code as a number, first character most significant: "eFKT" is 0x6546'4B54.
constexpr uint32_t property_code(const char (&code)[5]) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(code[i]);
    return value;
}

struct Pipl_Property {
    uint32_t vendor = 0;
    uint32_t key = 0;
    uint32_t id = 0;
    std::vector<uint8_t> data;  // as long as the stored length says, padding included
};

// The parsed list; the accessors throw std::runtime_error for a missing property or data too short for
// what is asked.
class Pipl {
public:
    // Throws std::runtime_error for anything but a complete list: resource word 1, list version 0, and as
    // many properties as counted, each with its data inside the bytes. Data is padded to 4 bytes.
    explicit Pipl(const std::vector<uint8_t>& bytes);

    uint32_t version() const { return version_; }
    const std::vector<Pipl_Property>& properties() const { return properties_; }

    bool has(uint32_t key) const;
    const Pipl_Property& property(uint32_t key) const;  // the first with this key
    uint32_t number(uint32_t key) const;                 // little-endian 32-bit data
    std::string pascal_string(uint32_t key) const;       // length byte, then the text
    std::string c_string(uint32_t key) const;            // up to the first zero
    // Two little-endian 16-bit numbers, major first: 13.28 is 0d 00 1c 00.
    std::array<uint16_t, 2> version_pair(uint32_t key) const;

private:
    uint32_t version_ = 0;
    std::vector<Pipl_Property> properties_;
};

// What the host needs to list an effect and call it.
struct Effect_Discovery {
    std::string name;
    std::string category;
    std::string match_name;
    std::string entry_point;  // from the x64 code property
    uint32_t effect_version = 0;
    std::array<uint16_t, 2> pipl_version{};  // major, minor
    std::array<uint16_t, 2> api_version{};
    uint32_t out_flags = 0;
    uint32_t out_flags2 = 0;
};

// Throws std::runtime_error when the list does not describe an effect ('8BIM' kind 'eFKT') with a
// match name and an x64 entry point.
Effect_Discovery discover_effect(const Pipl& pipl);

}  // namespace nb::host
