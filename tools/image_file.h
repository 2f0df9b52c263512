// Reading and writing image files (EXR, PNG, TIFF, JPEG and whatever else OpenImageIO knows) as
// straight-alpha float RGBA.
#pragma once

#include <cstdint>
#include <filesystem>

#include "tools/image_rgba.h"

namespace nb::tools {

struct Loaded_Image {
    Image_Rgba image;
    // Render depth that matches the file: 8 or 16 for integer files of that size, 32 for float and
    // half files (a half EXR holds values above 1.0 that 16-bit host pixels would clamp).
    int bits = 8;
};

// Reads the first image of the file. Colour multiplied by alpha in the file (EXR always, TIFF when
// it says so) is divided by alpha; where alpha is 0 the colour is kept as stored. A file without
// alpha reads as opaque; one grey channel fills R, G and B. EXR data windows become x, y and the
// display window frame_width, frame_height. Throws Tool_Error (missing, unreadable or damaged file,
// even when the reader returns pixels for it; unsupported format; no memory for the pixels, among them a
// header claiming more pixels than memory_limit bytes hold, found before any pixel buffer exists). What
// the image library prints meanwhile is kept off standard error (see Stderr_Capture), here and in writing.
Loaded_Image read_image_file(const std::filesystem::path& path, int64_t memory_limit);

// Writes the image in the format its extension names, at the given depth (8, 16 or 32) as far as
// the format allows: PNG stores 8 or 16 bits, JPEG 8, EXR half for 8 and 16 and float for 32.
// Formats whose alpha is premultiplied (EXR and most others) get colour multiplied by alpha; PNG,
// TIFF and Targa store it straight; formats without alpha (JPEG) store colour over black. An image
// whose alpha is 1 everywhere is written without alpha. Integer formats clamp to [0, 1] and store
// NaN as 0. Only EXR keeps the data window; other formats store the pixel rectangle alone.
// The file appears complete or not at all (see write_file_atomically). Throws Tool_Error.
void write_image_file(const std::filesystem::path& path, const Image_Rgba& image, int bits);

}  // namespace nb::tools
