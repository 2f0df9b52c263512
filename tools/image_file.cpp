// Reading and writing image files (EXR, PNG, TIFF, JPEG and whatever else OpenImageIO knows) as
// straight-alpha float RGBA.
#include "tools/image_file.h"

#include <OpenImageIO/imageio.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "tools/atomic_file.h"
#include "tools/stderr_capture.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

namespace fs = std::filesystem;
using OIIO::ImageInput;
using OIIO::ImageOutput;
using OIIO::ImageSpec;
using OIIO::TypeDesc;

// Library messages may span lines or end in a full stop; ours are one line.
std::string one_line(std::string text) {
    text = text.substr(0, text.find('\n'));
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
    return text.empty() ? "unknown error" : text;
}

// The library's own error, or failing that what it printed.
std::string library_reason(const std::string& error, const Stderr_Capture& printed) {
    return one_line(error.empty() ? printed.text() : error);
}

[[noreturn]] void fail_read(const fs::path& path, const std::string& reason) {
    throw Tool_Error("cannot read '" + path.string() + "': " + reason);
}

[[noreturn]] void fail_write(const fs::path& path, const std::string& reason) {
    throw Tool_Error("cannot write '" + path.string() + "': " + reason);
}

// OpenImageIO 2.4's BMP reader runs past its buffers (and may crash the process) for a compression
// that does not go with the bits per pixel, so such a file, whatever its name, is refused unread.
void check_bmp_compression(const fs::path& path) {
    uint8_t h[34] = {};
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(h), sizeof h);
    const auto number = [&h](int at, int bytes) {
        uint32_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) value = value << 8 | h[at + i];
        return value;
    };
    // The oldest headers, 12 bytes long, have no compression field.
    if (h[0] != 'B' || h[1] != 'M' || number(14, 4) < 40) return;
    const uint32_t bits = number(28, 2), compression = number(30, 4);
    if (compression == 0 || (compression == 1 && bits == 8) || (compression == 2 && bits == 4) ||
        (compression == 3 && (bits == 16 || bits == 32)))
        return;
    fail_read(path, "unsupported BMP compression " + std::to_string(compression) + " at " + std::to_string(bits) +
                        " bits per pixel");
}

std::unique_ptr<ImageInput> open_input(const fs::path& path, const Stderr_Capture& printed) {
    std::error_code error;
    if (!fs::exists(path, error)) fail_read(path, "no such file");
    if (fs::is_directory(path, error)) fail_read(path, "it is a folder");
    check_bmp_compression(path);
    if (!ImageInput::create(path.string(), false)) {
        OIIO::geterror();
        fail_read(path, "unsupported image format");
    }
    // Without this hint PNG, TIFF and Targa readers premultiply straight alpha, which would lose
    // colour precision (and all colour where alpha is 0) before we divide it back out.
    ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    // Some readers decode as they open and size their buffers from the header, so a damaged one throws.
    std::unique_ptr<ImageInput> input;
    try {
        input = ImageInput::open(path.string(), &config);
    } catch (const std::bad_alloc&) {
        fail_read(path, "out of memory");
    } catch (const std::exception& error) {
        fail_read(path, std::string("damaged header: ") + error.what());
    }
    if (!input) fail_read(path, library_reason(OIIO::geterror(), printed));
    return input;
}

int render_bits(TypeDesc format) {
    if (format == TypeDesc::UINT8 || format == TypeDesc::INT8) return 8;
    if (format == TypeDesc::UINT16 || format == TypeDesc::INT16) return 16;
    return 32;
}

// Where R, G, B and A come from in the file's channels; -1 for none. One colour channel is grey.
struct Channel_Map {
    int r = -1, g = -1, b = -1, a = -1;
};

Channel_Map channel_map(const ImageSpec& header) {
    Channel_Map map;
    if (header.alpha_channel >= 0 && header.alpha_channel < header.nchannels) map.a = header.alpha_channel;
    std::vector<int> colour;
    for (int c = 0; c < header.nchannels && colour.size() < 3; ++c)
        if (c != map.a) colour.push_back(c);
    if (colour.size() == 3) {
        map.r = colour[0], map.g = colour[1], map.b = colour[2];
    } else if (!colour.empty()) {
        map.r = map.g = map.b = colour[0];
    }
    return map;
}

void fill_straight(Image_Rgba& image, const std::vector<float>& file, int channels, const Channel_Map& map,
                   bool premultiplied) {
    const auto take = [](const float* p, int c, float absent) { return c < 0 ? absent : p[c]; };
    const int64_t pixels = image.width * image.height;
    for (int64_t i = 0; i < pixels; ++i) {
        const float* p = file.data() + i * channels;
        float* q = image.rgba.data() + i * 4;
        q[0] = take(p, map.r, 0.0f);
        q[1] = take(p, map.g, 0.0f);
        q[2] = take(p, map.b, 0.0f);
        q[3] = take(p, map.a, 1.0f);
        // Alpha 0 with colour is emitted light in premultiplied files; keep it rather than divide by 0.
        if (premultiplied && q[3] != 0.0f)
            for (int c = 0; c < 3; ++c) q[c] /= q[3];
    }
}

enum class Alpha_Storage { straight, premultiplied, none };

Alpha_Storage alpha_storage(const ImageOutput& output) {
    if (!output.supports("alpha")) return Alpha_Storage::none;
    const std::string name = output.format_name();
    if (name == "png" || name == "tiff" || name == "targa") return Alpha_Storage::straight;
    return Alpha_Storage::premultiplied;
}

TypeDesc storage_type(const std::string& format, int bits) {
    if (format == "openexr") return bits == 32 ? TypeDesc::FLOAT : TypeDesc::HALF;
    if (format == "jpeg") return TypeDesc::UINT8;
    if (format == "png") return bits == 8 ? TypeDesc::UINT8 : TypeDesc::UINT16;
    if (bits == 8) return TypeDesc::UINT8;
    return bits == 16 ? TypeDesc::UINT16 : TypeDesc::FLOAT;
}

bool opaque(const Image_Rgba& image) {
    for (size_t i = 3; i < image.rgba.size(); i += 4)
        if (image.rgba[i] != 1.0f) return false;
    return true;
}

// The interleaved values handed to the writer: RGB or RGBA, alpha applied as the format stores it.
std::vector<float> file_values(const Image_Rgba& image, Alpha_Storage storage, int channels, bool integer) {
    const int64_t pixels = image.width * image.height;
    std::vector<float> values(static_cast<size_t>(pixels * channels));
    for (int64_t i = 0; i < pixels; ++i) {
        const float* p = image.rgba.data() + i * 4;
        float* q = values.data() + i * channels;
        const float scale = storage == Alpha_Storage::straight ? 1.0f : p[3];
        for (int c = 0; c < 3; ++c) q[c] = p[c] * scale;
        if (channels == 4) q[3] = p[3];
        // The library's integer conversion is undefined for NaN; clamp here so every value is defined.
        for (int c = 0; integer && c < channels; ++c) q[c] = std::isnan(q[c]) ? 0.0f : std::clamp(q[c], 0.0f, 1.0f);
    }
    return values;
}

ImageSpec output_header(const Image_Rgba& image, const std::string& format, TypeDesc type, int channels,
                      Alpha_Storage storage) {
    ImageSpec header(static_cast<int>(image.width), static_cast<int>(image.height), channels, type);
    if (channels == 4) header.alpha_channel = 3;
    if (storage == Alpha_Storage::straight) header.attribute("oiio:UnassociatedAlpha", 1);
    if (format == "openexr") {
        header.x = static_cast<int>(image.x);
        header.y = static_cast<int>(image.y);
        header.full_x = header.full_y = 0;
        header.full_width = static_cast<int>(image.full_width());
        header.full_height = static_cast<int>(image.full_height());
    }
    return header;
}

void check_writable(const fs::path& path, const Image_Rgba& image, int bits, const std::string& format) {
    if (bits != 8 && bits != 16 && bits != 32) fail_write(path, "bit depth " + std::to_string(bits) + " (use 8, 16 or 32)");
    if (image.empty()) fail_write(path, "the image has no pixels");
    if (static_cast<int64_t>(image.rgba.size()) != image.width * image.height * 4)
        fail_write(path, "the image's pixel count does not match its size");
    // libjpeg ends the whole process on larger images instead of reporting an error.
    constexpr int64_t jpeg_max_dimension = 65500;
    if (format == "jpeg" && std::max(image.width, image.height) > jpeg_max_dimension)
        fail_write(path, "JPEG holds at most 65500 pixels per side");
}

// A header may claim far more pixels than the file holds; reading it would take the machine's memory
// before a single pixel arrives. Half the physical memory is what one image may take, as a host
// leaves the rest to the system and to other work.
void check_claimed_size(const fs::path& path, const ImageSpec& header) {
    const double bytes = static_cast<double>(header.image_pixels()) * (header.nchannels + 4) * sizeof(float);
    const double limit = static_cast<double>(::sysconf(_SC_PHYS_PAGES)) * static_cast<double>(::sysconf(_SC_PAGE_SIZE)) / 2;
    if (bytes <= limit) return;
    const auto gib = [](double b) { return std::to_string(static_cast<int64_t>(std::ceil(b / (1 << 30)))); };
    fail_read(path, "out of memory: it claims " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                        " pixels, which need " + gib(bytes) + " GiB where one image may take " + gib(limit) + " GiB");
}

}  // namespace

Loaded_Image read_image_file(const fs::path& path) {
    const Stderr_Capture printed;
    const auto input = open_input(path, printed);
    const ImageSpec header = input->spec();
    if (header.depth > 1) fail_read(path, "volume images are not supported");
    check_claimed_size(path, header);

    Loaded_Image loaded;
    loaded.bits = render_bits(header.format);
    std::vector<float> file;
    try {
        file.resize(static_cast<size_t>(header.image_pixels()) * header.nchannels);
        loaded.image = Image_Rgba(header.width, header.height);
    } catch (const std::bad_alloc&) {
        fail_read(path, "out of memory for " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                            " pixels");
    }
    // A reader may report damage (a JPEG that ends early) yet return success with the rest grey.
    const bool read = input->read_image(0, 0, 0, header.nchannels, TypeDesc::FLOAT, file.data());
    if (!read || input->has_error()) fail_read(path, library_reason(input->geterror(), printed));

    Image_Rgba& image = loaded.image;
    image.x = header.x - header.full_x;
    image.y = header.y - header.full_y;
    image.frame_width = header.full_width;
    image.frame_height = header.full_height;
    const Channel_Map map = channel_map(header);
    const bool premultiplied = map.a >= 0 && header.get_int_attribute("oiio:UnassociatedAlpha", 0) == 0;
    fill_straight(image, file, header.nchannels, map, premultiplied);
    return loaded;
}

void write_image_file(const fs::path& path, const Image_Rgba& image, int bits) {
    const Stderr_Capture printed;
    const std::unique_ptr<ImageOutput> output = ImageOutput::create(path.string());
    if (!output) {
        OIIO::geterror();
        fail_write(path, "unsupported image format");
    }
    const std::string format = output->format_name();
    check_writable(path, image, bits, format);

    const Alpha_Storage storage = opaque(image) ? Alpha_Storage::none : alpha_storage(*output);
    const int channels = storage == Alpha_Storage::none ? 3 : 4;
    const TypeDesc type = storage_type(format, bits);
    const bool integer = type != TypeDesc::FLOAT && type != TypeDesc::HALF;
    const std::vector<float> values = file_values(image, storage, channels, integer);
    const ImageSpec header = output_header(image, format, type, channels, storage);

    write_file_atomically(path, [&](const fs::path& temporary) {
        if (!output->open(temporary.string(), header)) fail_write(path, library_reason(output->geterror(), printed));
        const bool written = output->write_image(TypeDesc::FLOAT, values.data());
        const bool closed = output->close();
        if (!written || !closed) fail_write(path, library_reason(output->geterror(), printed));
    });
}

}  // namespace nb::tools
