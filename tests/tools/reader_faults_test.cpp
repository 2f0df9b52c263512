// Files that would take the image library's readers past their buffers or integers, told from sound ones
// by their bytes alone, built here byte by byte.
#include "tools/reader_faults.h"

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace nb::tools {
namespace {

std::string big_endian(uint32_t value, int bytes) {
    std::string text;
    for (int i = bytes - 1; i >= 0; --i) text += static_cast<char>(value >> (8 * i) & 0xFF);
    return text;
}

struct Sgi {
    int run_length = 1, sample_bytes = 1, dimensions = 3, width = 4, rows = 1, planes = 1;
    std::vector<std::string> coded_rows;  // one for each entry of the tables, in the file's order
    size_t cut = 0;                       // bytes missing from the end

    std::string bytes() const {
        std::string file = big_endian(474, 2) + static_cast<char>(run_length) + static_cast<char>(sample_bytes) +
                           big_endian(dimensions, 2) + big_endian(width, 2) + big_endian(rows, 2) + big_endian(planes, 2);
        file.resize(512);
        std::string starts, lengths, data;
        for (const std::string& row : coded_rows) {
            starts += big_endian(static_cast<uint32_t>(512 + 8 * coded_rows.size() + data.size()), 4);
            lengths += big_endian(static_cast<uint32_t>(row.size()), 4);
            data += row;
        }
        file += starts + lengths + data;
        return file.substr(0, file.size() - cut);
    }
};

TEST(ReaderFaults, SgiRowsThatLeaveTheirBuffersAreRefusedAndSoundOnesPass) {
    using namespace std::string_literals;
    const struct {
        const char* what;
        Sgi file;
        std::string fault;  // a part of the reason; empty for a file the reader may take
    } cases[] = {
        {"a copy of 2 and a repeat of 2, in bytes", {.coded_rows = {"\x82\x01\x02\x02\x07\x00"s}}, ""},
        {"the same in 16 bits", {.sample_bytes = 2, .coded_rows = {"\0\x82\0\x01\0\x02\0\x02\0\x07\0\0"s}}, ""},
        {"two channels of two rows", {.rows = 2, .planes = 2, .coded_rows = {4, "\x04\x01\x00"s}}, ""},
        {"uncompressed, no tables", {.run_length = 0, .coded_rows = {}}, ""},
        {"a repeat past the width", {.coded_rows = {"\x7f\x09\x00"s}}, "row 0 of channel 0 runs outside its 4 pixels"},
        {"a copy past the row's bytes", {.coded_rows = {"\x84\x01"s}}, "runs outside"},
        {"a 16-bit count cut in half", {.sample_bytes = 2, .coded_rows = {"\0\x04\0\x07\0"s}}, "runs outside"},
        {"the second channel's row", {.planes = 2, .coded_rows = {"\x04\x01\x00"s, "\x05\x01\x00"s}}, "row 0 of channel 1"},
        {"one channel of no planes", {.dimensions = 2, .planes = 0, .coded_rows = {}}, "tables are shorter than its image"},
        {"one row of no rows", {.dimensions = 1, .rows = 0, .coded_rows = {}}, "tables are shorter than its image"},
        {"tables for 60000 rows", {.rows = 60000, .planes = 3, .coded_rows = {}}, "tables run past the end of the file"},
        {"a row cut off", {.coded_rows = {"\x04\x01\x00"s}, .cut = 1}, "a row lies past the end of the file"},
        {"no bytes a sample", {.sample_bytes = 0, .coded_rows = {"\x04\x01\x00"s}}, "unsupported SGI sample size of 0 bytes"},
        {"three bytes a sample, uncompressed", {.run_length = 0, .sample_bytes = 3, .coded_rows = {}}, "sample size of 3 bytes"},
    };
    const test::Temp_Folder folder;
    for (const auto& c : cases) {
        std::ofstream(folder / "in.sgi", std::ios::binary) << c.file.bytes();
        const std::optional<std::string> fault = reader_fault(folder / "in.sgi");
        EXPECT_EQ(fault.has_value(), !c.fault.empty()) << c.what << ": " << fault.value_or("");
        if (fault) {
            EXPECT_NE(fault->find(c.fault), std::string::npos) << c.what << ": " << *fault;
        }
    }
}

// The canvas holds 4 bytes a pixel in an int: 23170 x 23170 pixels fit, one column more does not.
TEST(ReaderFaults, GifScreensBeyondTheReadersIntegerAreRefused) {
    const struct {
        uint32_t width, height;
        bool refused;
    } cases[] = {{23170, 23170, false}, {23171, 23170, true}, {65535, 65405, true}};
    const test::Temp_Folder folder;
    for (const auto& c : cases) {
        std::string little = big_endian(c.width, 2) + big_endian(c.height, 2);
        std::swap(little[0], little[1]);
        std::swap(little[2], little[3]);
        std::ofstream(folder / "in.gif", std::ios::binary) << "GIF89a" + little + std::string(3, '\0');
        EXPECT_EQ(reader_fault(folder / "in.gif").has_value(), c.refused) << c.width << " x " << c.height;
    }
}

}  // namespace
}  // namespace nb::tools
