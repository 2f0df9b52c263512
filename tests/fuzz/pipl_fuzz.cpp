// Any bytes as a property list beside a plug-in: refused with std::runtime_error, or every accessor
// reads within the bytes.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "host/pipl_reader.h"

namespace {

template <class Read>
void refused_or_read(Read read) {
    try {
        read();
    } catch (const std::runtime_error&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    refused_or_read([&] {
        const nb::host::Pipl pipl(std::vector<uint8_t>(data, data + size));
        for (const nb::host::Pipl_Property& p : pipl.properties()) {
            refused_or_read([&] { pipl.number(p.key); });
            refused_or_read([&] { pipl.pascal_string(p.key); });
            refused_or_read([&] { pipl.c_string(p.key); });
            refused_or_read([&] { pipl.version_pair(p.key); });
        }
        nb::host::discover_effect(pipl);
    });
    return 0;
}
