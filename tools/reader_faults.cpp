#include "tools/reader_faults.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace nb::tools {
namespace {

uint32_t little_endian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

uint32_t big_endian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
    return value;
}

// The BMP reader runs past its buffers for a compression that does not go with the bits per pixel.
std::optional<std::string> bmp_fault(const uint8_t* h) {
    // The oldest headers, 12 bytes long, have no compression field.
    if (h[0] != 'B' || h[1] != 'M' || little_endian(h + 14, 4) < 40) return {};
    const uint32_t bits = little_endian(h + 28, 2), compression = little_endian(h + 30, 4);
    if (compression == 0 || (compression == 1 && bits == 8) || (compression == 2 && bits == 4) ||
        (compression == 3 && (bits == 16 || bits == 32)))
        return {};
    return "unsupported BMP compression " + std::to_string(compression) + " at " + std::to_string(bits) +
           " bits per pixel";
}

// The GIF reader sizes its canvas, four bytes a pixel of the logical screen, in an int. Past that the
// size wraps and the library throws where nothing can catch it, ending the process.
std::optional<std::string> gif_fault(const uint8_t* h) {
    if (h[0] != 'G' || h[1] != 'I' || h[2] != 'F') return {};
    const uint64_t width = little_endian(h + 6, 2), height = little_endian(h + 8, 2);
    if (width * height * 4 <= uint64_t{std::numeric_limits<int32_t>::max()}) return {};
    return "the GIF's screen of " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels is more than the reader can hold";
}

// Whether a run-length coded SGI row stays inside its bytes and its width, as the reader assumes
// without checking: each run is a count (with a flag for a copy), then the copied samples or the one
// repeated. A row that merely ends early or late is left to the reader, which says so.
bool sgi_row_stays_inside(const std::vector<uint8_t>& row, uint32_t sample_bytes, uint32_t width) {
    uint64_t at = 0, left = width;
    while (at < row.size()) {
        if (at + sample_bytes > row.size()) return false;
        const uint8_t code = row[at + sample_bytes - 1];
        at += sample_bytes;
        const uint32_t count = code & 0x7Fu;
        if (count == 0) return true;
        if (count > left) return false;
        at += (code & 0x80u ? count : 1) * sample_bytes;
        if (at > row.size()) return false;
        left -= count;
    }
    return true;
}

// The SGI reader indexes its tables of run-length coded rows without checking that they hold a row for
// each of the image's rows and channels, and decodes each row into a buffer of the image's width.
std::optional<std::string> sgi_fault(std::ifstream& file, const uint8_t* h, uint64_t file_bytes) {
    if (big_endian(h, 2) != 474) return {};
    const uint32_t run_length = h[2], sample_bytes = h[3], dimensions = big_endian(h + 4, 2),
                   width = big_endian(h + 6, 2), rows = big_endian(h + 8, 2), planes = big_endian(h + 10, 2);
    if (sample_bytes != 1 && sample_bytes != 2)
        return "unsupported SGI sample size of " + std::to_string(sample_bytes) + " bytes";
    if (run_length != 1 || dimensions < 1 || dimensions > 3) return {};
    const uint64_t height = dimensions == 1 ? 1 : rows, channels = dimensions == 3 ? planes : 1;
    const uint64_t entries = uint64_t{rows} * planes;
    if (entries < height * channels) return "damaged SGI file: its row tables are shorter than its image";
    // The reader sizes its tables from the header before it reads them: gigabytes for a few bytes.
    if (512 + entries * 8 > file_bytes) return "damaged SGI file: its row tables run past the end of the file";
    std::vector<uint8_t> tables(entries * 8);
    file.seekg(512);
    file.read(reinterpret_cast<char*>(tables.data()), static_cast<std::streamsize>(tables.size()));
    std::vector<uint8_t> row;
    for (uint64_t entry = 0; entry < height * channels; ++entry) {
        const uint64_t start = big_endian(&tables[entry * 4], 4), length = big_endian(&tables[(entries + entry) * 4], 4);
        if (start + length > file_bytes) return "damaged SGI file: a row lies past the end of the file";
        row.resize(length);
        file.seekg(static_cast<std::streamoff>(start));
        file.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(length));
        if (!sgi_row_stays_inside(row, sample_bytes, width))
            return "damaged SGI file: row " + std::to_string(entry % height) + " of channel " +
                   std::to_string(entry / height) + " runs outside its " + std::to_string(width) + " pixels";
    }
    return {};
}

}  // namespace

std::optional<std::string> reader_fault(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const auto file_bytes = static_cast<uint64_t>(std::max<std::streamoff>(file.tellg(), 0));
    uint8_t h[34] = {};
    file.seekg(0);
    file.read(reinterpret_cast<char*>(h), sizeof h);
    file.clear();
    if (auto fault = bmp_fault(h)) return fault;
    if (auto fault = gif_fault(h)) return fault;
    return sgi_fault(file, h, file_bytes);
}

}  // namespace nb::tools
