// Any bytes as a property list beside a plug-in: refused with std::runtime_error, or every accessor
// reads within the bytes.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "host/pipl_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const nb::host::Pipl pipl(std::vector<uint8_t>(data, data + size));
        for (const nb::host::Pipl_Property& p : pipl.properties()) try {
                pipl.c_string(p.key), pipl.pascal_string(p.key), pipl.version_pair(p.key), pipl.number(p.key);
            } catch (const std::runtime_error&) {
            }
        nb::host::discover_effect(pipl);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
