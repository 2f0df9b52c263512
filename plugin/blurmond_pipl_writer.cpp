// Build step: writes the effect's property list into the file the host reads beside the plug-in binary.
#include <cstdio>
#include <exception>
#include <fstream>
#include <vector>

#include "plugin/blurmond_pipl.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output .pipl file>\n", argv[0]);
        return 2;
    }
    try {
        const std::vector<uint8_t> bytes = nb::blurmond_pipl_bytes();
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", argv[1]);
            return 1;
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
