// Serialisation of the property list, byte by byte, in the layout the host's resource reader expects.
#include "base/after_effects/pipl.h"

#include "base/exception.h"

namespace nb {
namespace {

constexpr uint32_t vendor = four_char_code("8BIM");
constexpr int32_t property_count = 13;

class Pipl_Writer {
public:
    void u16(uint16_t value) {
        bytes_.push_back(static_cast<uint8_t>(value & 0xff));
        bytes_.push_back(static_cast<uint8_t>(value >> 8));
    }
    void u32(uint32_t value) {
        u16(static_cast<uint16_t>(value & 0xffff));
        u16(static_cast<uint16_t>(value >> 16));
    }

    void property(uint32_t key, std::vector<uint8_t> data) {
        while (data.size() % 4 != 0) data.push_back(0);
        u32(vendor);
        u32(key);
        u32(0);
        u32(static_cast<uint32_t>(data.size()));
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }
    void number(uint32_t key, uint32_t value) {
        Pipl_Writer data;
        data.u32(value);
        property(key, data.bytes_);
    }
    void version(uint32_t key, uint16_t major, uint16_t minor) {
        Pipl_Writer data;
        data.u16(major);
        data.u16(minor);
        property(key, data.bytes_);
    }
    void pascal_string(uint32_t key, const std::string& text) {
        ASSERT(text.size() <= 255, "the property list text \"" << text << "\" is longer than 255 bytes");
        std::vector<uint8_t> data{static_cast<uint8_t>(text.size())};
        data.insert(data.end(), text.begin(), text.end());
        property(key, data);
    }
    // The terminating zero is part of the name; padding adds more zeros up to the next multiple of 4.
    void c_string(uint32_t key, const std::string& text) {
        std::vector<uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        property(key, data);
    }

    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace

std::vector<uint8_t> pipl_bytes(const Pipl_Description& d) {
    Pipl_Writer w;
    w.u16(1);
    w.u32(0);
    w.u32(property_count);
    w.number(four_char_code("kind"), four_char_code("eFKT"));
    w.pascal_string(four_char_code("name"), d.name);
    w.pascal_string(four_char_code("catg"), d.category);
    w.c_string(four_char_code("8664"), d.entry_point);
    w.version(four_char_code("ePVR"), d.pipl_version_major, d.pipl_version_minor);
    w.version(four_char_code("eSVR"), d.api_version_major, d.api_version_minor);
    w.number(four_char_code("eVER"), d.effect_version);
    w.number(four_char_code("eINF"), d.info_flags);
    w.number(four_char_code("eGLO"), d.out_flags);
    w.number(four_char_code("eGL2"), d.out_flags2);
    w.pascal_string(four_char_code("eMNA"), d.match_name);
    w.number(four_char_code("aeFL"), d.reserved_info);
    w.pascal_string(four_char_code("eURL"), d.support_url);
    return w.take();
}

}  // namespace nb
