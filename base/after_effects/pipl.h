// The plug-in property list (PiPL) through which a host discovers an effect before it loads the code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nb {

// A four-character code as the resource stores it: the first character is the most significant byte of
// a 32-bit number, and the number is written little-endian (so 'kind' reads "dnik" in the file).
constexpr uint32_t four_char_code(const char (&code)[5]) {
    return static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24 |
           static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(code[3]));
}

// Everything the property list of an effect says. Texts are stored as Pascal strings (at most 255
// bytes) except the entry point, which is a NUL-terminated name.
struct Pipl_Description {
    std::string name;         // the effect's name in the host's menu
    std::string category;     // the menu it appears in
    std::string entry_point;  // the exported function the host calls
    uint16_t pipl_version_major = 2;
    uint16_t pipl_version_minor = 0;
    uint16_t api_version_major = 0;  // effect interface version the plug-in was built for
    uint16_t api_version_minor = 0;
    uint32_t effect_version = 0;  // packed like the version word of global setup
    uint32_t info_flags = 0;
    uint32_t out_flags = 0;   // must equal what global setup reports
    uint32_t out_flags2 = 0;
    std::string match_name;   // stable identity of the effect in projects
    uint32_t reserved_info = 0;
    std::string support_url;
};

// The resource bytes: a 16-bit word 1, the list version 0 and the property count (32-bit), then
// thirteen properties in the order kind, name, catg, 8664 (the x64 code), ePVR, eSVR, eVER, eINF, eGLO,
// eGL2, eMNA, aeFL, eURL. Each property is vendor '8BIM', key, id 0, data length (the length of the
// data with its padding), then the data padded with zero bytes to a multiple of 4. Every number is
// little-endian; a version pair is two 16-bit numbers, major first (2.0 is 02 00 00 00).
// Throws Exception_Assert for a text longer than its field can hold.
std::vector<uint8_t> pipl_bytes(const Pipl_Description& description);

}  // namespace nb
