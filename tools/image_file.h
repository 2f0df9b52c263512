// Reading and writing image files (EXR, PNG, TIFF, JPEG and whatever else OpenImageIO knows) as
// straight-alpha RGBA, keeping what else the file holds for the file written from it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "tools/image_rgba.h"

namespace nb::tools {

// One part of a file as read: its header (channel names and order, pixel type per channel, windows,
// compression, metadata) and the channels the effect does not render. Defined in image_file.cpp.
struct Image_File_Part;

struct Loaded_Image {
    Image_Rgba image;
    // Render depth that matches the file: 8 for 8-bit files, 32 for everything else (a half EXR holds
    // values above 1.0, and the host's 16-bit worlds hold 32768 levels, not the file's 65535).
    int bits = 8;
    // The pixels are linear light: float or half, or colour-space metadata that says so.
    bool linear = false;
    std::shared_ptr<const Image_File_Part> file;
};

// Reads the first part of the file. Colour multiplied by alpha in the file (EXR always, TIFF when it
// says so) is divided by alpha; where alpha is 0 the colour is kept as stored. 8-bit R, G, B[, A]
// stored straight reads as bytes (Image_Rgba::rgba8), anything else as float. Channels named R, G
// and B are colour (one missing reads as 0), or else a channel named Y is grey and fills all three;
// without alpha the image reads as opaque. Other channels are kept for the writer. Data windows become x, y, the display window
// frame_width, frame_height, and PixelAspectRatio pixel_aspect. Throws Tool_Error (missing,
// unreadable or damaged file, even when the reader returns pixels for it; unsupported format; deep or
// volume images; a part with neither colour nor alpha; no memory for the pixels, among them a header
// claiming more pixels than memory_limit bytes hold, found before any pixel buffer exists). What the
// image library prints meanwhile is kept off standard error (see Stderr_Capture), here and in writing.
Loaded_Image read_image_file(const std::filesystem::path& path, int64_t memory_limit);

// Every part of the file (of a multi-part EXR), each as read_image_file reads the first. Throws as it
// does, naming the part that cannot be rendered.
std::vector<Loaded_Image> read_image_parts(const std::filesystem::path& path, int64_t memory_limit);

// Writes each rendered image as the part it was rendered from, in the format the extension names:
// the part's channels in their order and pixel types, colour and alpha from the image (straight or
// multiplied by alpha as the format stores it, over black where the part has no alpha), the other
// channels as read where the image overlaps them and 0 beyond; the image's rectangle as data window,
// the part's display window, compression and metadata. What the format cannot hold (channels, pixel
// types, windows, parts, colour space, metadata) it drops as OpenImageIO's writers do; the returned
// warnings name each such loss in one line. Integer channels clamp to [0, 1] and store NaN and
// infinities as 0. The file appears complete or not at all (see write_file_atomically). Throws Tool_Error.
std::vector<std::string> write_image_parts(const std::filesystem::path& path, std::span<const Loaded_Image> parts,
                                           std::span<const Image_Rgba> images);

// Writes an image that has no file of its own at the given depth (8, 16 or 32) as far as the format
// allows: PNG stores 8 or 16 bits, JPEG 8, EXR half for 8 and 16 and float for 32; RGB when alpha is
// 1 everywhere, RGBA otherwise. Only formats with data windows keep x and y. Throws Tool_Error.
void write_image_file(const std::filesystem::path& path, const Image_Rgba& image, int bits);

}  // namespace nb::tools
