// Reading and writing image files (EXR, PNG, TIFF, JPEG and whatever else OpenImageIO knows) as
// straight-alpha RGBA, keeping what else the file holds for the file written from it.
#include "tools/image_file.h"

#include <OpenImageIO/color.h>
#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imagebufalgo.h>
#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/memory_size_text.h"
#include "tools/atomic_file.h"
#include "tools/reader_faults.h"
#include "tools/stderr_capture.h"
#include "tools/tool_error.h"

namespace nb::tools {

struct Image_File_Part {
    // Where R, G, B and A are among the part's channels; -1 for none. Grey is one channel in r, g and b.
    struct Channel_Map {
        int r = -1, g = -1, b = -1, a = -1;
        // Which component of the rendered RGBA channel c takes; -1 for a channel the effect does not render.
        int component(int c) const { return c == a ? 3 : c == r ? 0 : c == g ? 1 : c == b ? 2 : -1; }
    };

    OIIO::ImageSpec header;  // as read, metadata and all
    std::string format;      // the reader's name for the file's format
    Channel_Map map;
    // Every channel as float, kept only when some channel is not rendered: those pass through from here.
    OIIO::ImageBuf pixels;
};

namespace {

namespace fs = std::filesystem;
using OIIO::ImageBuf;
using OIIO::ImageInput;
using OIIO::ImageOutput;
using OIIO::ImageSpec;
using OIIO::TypeDesc;
using Channel_Map = Image_File_Part::Channel_Map;
namespace algo = OIIO::ImageBufAlgo;

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

std::unique_ptr<ImageInput> open_input(const fs::path& path, const Stderr_Capture& printed) {
    std::error_code error;
    if (!fs::exists(path, error)) fail_read(path, "no such file");
    if (fs::is_directory(path, error)) fail_read(path, "it is a folder");
    if (const auto fault = reader_fault(path)) fail_read(path, *fault);
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

// 16-bit files render in float: the host's 16-bit worlds hold 32768 levels, not the file's 65536.
int render_bits(TypeDesc format) { return format == TypeDesc::UINT8 || format == TypeDesc::INT8 ? 8 : 32; }

// A colour-space name the colour configuration knows as linear wins; float and half pixels are linear
// unless named otherwise, as EXR's are by convention.
bool linear_pixels(const ImageSpec& header) {
    static const OIIO::ColorConfig config;
    const std::string space = header.get_string_attribute("oiio:ColorSpace");
    return config.isColorSpaceLinear(space) || header.format.is_floating_point();
}

Channel_Map channel_map(const ImageSpec& header) {
    Channel_Map map;
    if (header.alpha_channel >= 0 && header.alpha_channel < header.nchannels) map.a = header.alpha_channel;
    for (int c = 0; c < header.nchannels; ++c) {
        const std::string& name = header.channel_name(c);
        if (name == "R") map.r = c;
        if (name == "G") map.g = c;
        if (name == "B") map.b = c;
    }
    if (map.r < 0 && map.g < 0 && map.b < 0) map.r = map.g = map.b = header.channelindex("Y");
    return map;
}

// R, G, B and perhaps A, in that order and nothing else: the reader converts them straight into the
// image's pixels, with no copy of the file's between.
bool reads_in_place(const ImageSpec& header, const Channel_Map& map) {
    const bool rgb = map.r == 0 && map.g == 1 && map.b == 2;
    return rgb && (header.nchannels == 3 ? map.a < 0 : header.nchannels == 4 && map.a == 3);
}

void fill_rgba(Image_Rgba& image, const float* file, int channels, const Channel_Map& map) {
    const auto take = [](const float* p, int c, float absent) { return c < 0 ? absent : p[c]; };
    const int64_t pixels = image.width * image.height;
    for (int64_t i = 0; i < pixels; ++i) {
        const float* p = file + i * channels;
        float* q = image.rgba.data() + i * 4;
        q[0] = take(p, map.r, 0.0f);
        q[1] = take(p, map.g, 0.0f);
        q[2] = take(p, map.b, 0.0f);
        q[3] = take(p, map.a, 1.0f);
    }
}

void make_opaque(Image_Rgba& image) {
    for (size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 1.0f;
}

void divide_by_alpha(Image_Rgba& image) {
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        float* q = image.rgba.data() + i;
        // Alpha 0 with colour is emitted light in premultiplied files; keep it rather than divide by 0.
        if (q[3] != 0.0f)
            for (int c = 0; c < 3; ++c) q[c] /= q[3];
    }
}

// A header may claim far more pixels than the file holds; reading it would take the machine's memory
// before a single pixel arrives. The file's values and the image they become, as floats, must fit the
// limit the host's memory follows.
void check_claimed_size(const fs::path& path, const ImageSpec& header, int64_t memory_limit) {
    const double bytes = static_cast<double>(header.image_pixels()) * (header.nchannels + 4) * sizeof(float);
    if (bytes <= static_cast<double>(memory_limit)) return;
    fail_read(path, "out of memory: it claims " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                        " pixels, which need " + memory_size_text(bytes) + ", more than the memory limit of " +
                        memory_size_text(static_cast<double>(memory_limit)) + " (--memory-limit)");
}

Loaded_Image read_part(const fs::path& path, ImageInput& input, int part, int64_t memory_limit,
                       const Stderr_Capture& printed) {
    const std::string which = part == 0 ? "" : "part " + std::to_string(part + 1) + ": ";
    const ImageSpec header = input.spec(part, 0);
    if (header.deep) fail_read(path, which + "deep images are not supported");
    if (header.depth > 1) fail_read(path, which + "volume images are not supported");
    check_claimed_size(path, header, memory_limit);
    const Channel_Map map = channel_map(header);
    if (map.r < 0 && map.a < 0) fail_read(path, which + "no colour or alpha channel to render");

    auto file = std::make_shared<Image_File_Part>(Image_File_Part{header, input.format_name(), map, {}});
    Loaded_Image loaded;
    loaded.bits = render_bits(header.format);
    loaded.linear = linear_pixels(header);
    const bool in_place = reads_in_place(header, map);
    const bool premultiplied = map.a >= 0 && header.get_int_attribute("oiio:UnassociatedAlpha", 0) == 0;
    // 8-bit colour stored straight stays bytes, opaque until the file says otherwise.
    const bool bytes = in_place && !premultiplied && header.format == TypeDesc::UINT8 && header.channelformats.empty();
    const TypeDesc type = bytes ? TypeDesc::UINT8 : TypeDesc::FLOAT;
    try {
        ImageSpec floats(header.width, header.height, header.nchannels, TypeDesc::FLOAT);
        floats.x = header.x;
        floats.y = header.y;
        if (!in_place) file->pixels.reset(floats, OIIO::InitializePixels::No);
        loaded.image = bytes ? Image_Rgba::bytes(header.width, header.height, 255) : Image_Rgba(header.width, header.height);
    } catch (const std::bad_alloc&) {
        fail_read(path, "out of memory for " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                            " pixels");
    }
    // A reader may report damage (a JPEG that ends early) yet return success with the rest grey.
    // Readers take working memory of their own in chunks of rows, which a wide claimed size can exhaust.
    bool read = false;
    try {
        void* pixels = bytes ? static_cast<void*>(loaded.image.rgba8.data()) : loaded.image.rgba.data();
        read = in_place ? input.read_image(part, 0, 0, header.nchannels, type, pixels, static_cast<OIIO::stride_t>(4 * type.size()))
                        : input.read_image(part, 0, 0, header.nchannels, TypeDesc::FLOAT, file->pixels.localpixels());
    } catch (const std::bad_alloc&) {
        fail_read(path, which + "out of memory reading " + std::to_string(header.width) + " x " +
                            std::to_string(header.height) + " pixels");
    } catch (const std::exception& error) {  // a reader sizing a buffer from a damaged row table
        fail_read(path, which + "damaged pixel data: " + error.what());
    }
    if (!read || input.has_error()) fail_read(path, library_reason(input.geterror(), printed));

    Image_Rgba& image = loaded.image;
    image.x = header.x - header.full_x;
    image.y = header.y - header.full_y;
    image.frame_width = header.full_width;
    image.frame_height = header.full_height;
    const float aspect = header.get_float_attribute("PixelAspectRatio", 1.0f);
    image.pixel_aspect = std::isfinite(aspect) && aspect > 0.0f ? aspect : 1.0f;
    if (!in_place) {
        fill_rgba(image, static_cast<const float*>(file->pixels.localpixels()), header.nchannels, map);
        bool passing = false;
        for (int c = 0; c < header.nchannels; ++c) passing |= map.component(c) < 0;
        if (!passing) file->pixels.reset();
    } else if (map.a < 0 && !bytes) {
        make_opaque(image);
    }
    if (premultiplied) divide_by_alpha(image);
    loaded.file = std::move(file);
    return loaded;
}

TypeDesc storage_type(const std::string& format, int bits) {
    if (format == "openexr") return bits == 32 ? TypeDesc::FLOAT : TypeDesc::HALF;
    if (format == "jpeg") return TypeDesc::UINT8;
    if (format == "png") return bits == 8 ? TypeDesc::UINT8 : TypeDesc::UINT16;
    if (bits == 8) return TypeDesc::UINT8;
    return bits == 16 ? TypeDesc::UINT16 : TypeDesc::FLOAT;
}

bool opaque(const Image_Rgba& image) {
    for (size_t i = 3; i < image.rgba8.size(); i += 4)
        if (image.rgba8[i] != 255) return false;
    for (size_t i = 3; i < image.rgba.size(); i += 4)
        if (image.rgba[i] != 1.0f) return false;
    return true;
}

void check_writable(const fs::path& path, const Image_Rgba& image, const std::string& format) {
    if (image.empty()) fail_write(path, "the image has no pixels");
    if (static_cast<int64_t>(image.in_bytes() ? image.rgba8.size() : image.rgba.size()) != image.width * image.height * 4)
        fail_write(path, "the image's pixel count does not match its size");
    // libjpeg ends the whole process on larger images instead of reporting an error.
    constexpr int64_t jpeg_max_dimension = 65500;
    if (format == "jpeg" && std::max(image.width, image.height) > jpeg_max_dimension)
        fail_write(path, "JPEG holds at most 65500 pixels per side");
}

// Formats that store colour straight beside alpha; the others (EXR and most) store it multiplied.
bool stores_straight(const ImageOutput& output) {
    const std::string name = output.format_name();
    return name == "png" || name == "tiff" || name == "targa";
}

// The image was rendered at reduced resolution: its frame is not the part's.
bool reduced_frame(const ImageSpec& header, const Image_Rgba& image) {
    return image.full_width() != header.full_width || image.full_height() != header.full_height;
}

// One part as the writer is asked to store it.
struct Output_Part {
    ImageSpec header;
    ImageBuf pixels;  // float, the header's channels, over its data window; empty when the image itself is written
    // Or the image's own pixels of the type, xstride bytes apart, rows without gaps.
    const void* data = nullptr;
    TypeDesc type = TypeDesc::FLOAT;
    OIIO::stride_t xstride = OIIO::AutoStride;
};

// The writer can take the rendered pixels as they are: the kept channels are R, G, B[, A] in that order
// with nothing passing through, the format stores the colour as rendered (straight, or opaque where it
// multiplies by alpha), and integer types get only finite values (bytes are), which the library's
// conversion clamps as we would (an infinity it would store as white, and NaN it leaves undefined).
bool writes_in_place(const Image_File_Part& part, const std::vector<int>& kept, const Image_Rgba& image, bool straight) {
    for (size_t k = 0; k < kept.size(); ++k)
        if (part.map.component(kept[k]) != static_cast<int>(k)) return false;
    const ImageSpec& header = part.header;
    const bool integers = !header.format.is_floating_point() && header.channelformats.empty();
    return !part.pixels.initialized() && (straight || opaque(image)) &&
           (!integers || std::ranges::all_of(image.rgba, [](float v) { return std::isfinite(v); }));
}

// The part's channels that the format can hold: all of them, or without "nchannels" the rendered ones,
// without "alpha" the colour ones.
std::vector<int> kept_channels(const Image_File_Part& part, const ImageOutput& output) {
    std::vector<int> kept;
    for (int c = 0; c < part.header.nchannels; ++c) {
        const int component = part.map.component(c);
        if ((component >= 0 || output.supports("nchannels")) && (component != 3 || output.supports("alpha")))
            kept.push_back(c);
    }
    return kept;
}

Output_Part output_part(const Image_File_Part& part, const Image_Rgba& image, const ImageOutput& output) {
    const ImageSpec& header = part.header;
    const std::vector<int> kept = kept_channels(part, output);
    const bool alpha = std::ranges::find(kept, part.map.a) != kept.end() && part.map.a >= 0;
    // A file of the same format keeps its own convention.
    const bool straight = alpha && stores_straight(output) &&
                          (part.format != output.format_name() || header.get_int_attribute("oiio:UnassociatedAlpha", 0) != 0);

    const bool direct = writes_in_place(part, kept, image, straight);
    // Bytes go to the writer only as they are; any other work is done in float.
    if (!direct && image.in_bytes()) return output_part(part, widened(image), output);

    const TypeDesc type = image.in_bytes() ? TypeDesc::UINT8 : TypeDesc::FLOAT;
    ImageSpec rendered_header(static_cast<int>(image.width), static_cast<int>(image.height), 4, type);
    // At reduced resolution the frame shrinks with the pixels and starts at the origin.
    const bool reduced = reduced_frame(header, image);
    rendered_header.x = static_cast<int>((reduced ? 0 : header.full_x) + image.x);
    rendered_header.y = static_cast<int>((reduced ? 0 : header.full_y) + image.y);
    rendered_header.alpha_channel = 3;
    void* const pixels = image.in_bytes() ? static_cast<void*>(const_cast<uint8_t*>(image.rgba8.data()))
                                          : static_cast<void*>(const_cast<float*>(image.rgba.data()));
    const ImageBuf rendered(rendered_header, pixels);
    // Colour multiplied by alpha, or without alpha in the file what shows over black (opaque: as it is).
    // Only colour and alpha travel to a part without other channels, so there it is multiplied in place.
    const bool in_place = alpha && !straight && !part.pixels.initialized();
    const bool copy = !direct && !straight && !in_place && !opaque(image);
    const ImageBuf premultiplied = copy ? algo::premult(rendered) : ImageBuf();
    const ImageBuf& colour = copy ? premultiplied : rendered;

    Output_Part out{header, {}};
    ImageSpec& stored = out.header;
    std::vector<int> order;
    std::vector<std::string> names;
    std::vector<TypeDesc> formats;
    for (const int c : kept) {
        order.push_back(part.map.component(c));
        names.push_back(header.channel_name(c));
        formats.push_back(header.channelformat(c));
    }
    // The channels that pass through follow the rendered ones, cut to the rendered window (0 beyond theirs).
    ImageBuf appended;
    if (part.pixels.initialized()) {
        OIIO::ROI window = colour.roi();
        window.chend = 4 + header.nchannels;
        appended = algo::crop(algo::channel_append(colour, part.pixels), window);
    }
    for (size_t k = 0; k < kept.size(); ++k)
        if (order[k] < 0) order[k] = 4 + kept[k];
    const int n = static_cast<int>(kept.size());
    if (direct) {
        out.data = pixels;
        out.type = type;
        out.xstride = static_cast<OIIO::stride_t>(4 * type.size());
    } else {
        out.pixels = algo::channels(part.pixels.initialized() ? appended : colour, n, order, {}, names);
    }

    stored.nchannels = n;
    stored.channelnames = names;
    stored.channelformats = header.channelformats.empty() || !output.supports("channelformats") ? std::vector<TypeDesc>{}
                                                                                               : formats;
    stored.alpha_channel = alpha ? static_cast<int>(std::ranges::find(kept, part.map.a) - kept.begin()) : -1;
    if (in_place && !direct) {
        out.pixels.specmod().alpha_channel = stored.alpha_channel;
        algo::premult(out.pixels, out.pixels);
    }
    const auto z = std::ranges::find(kept, header.z_channel);
    stored.z_channel = header.z_channel >= 0 && z != kept.end() ? static_cast<int>(z - kept.begin()) : -1;
    stored.x = rendered_header.x;
    stored.y = rendered_header.y;
    stored.width = rendered_header.width;
    stored.height = rendered_header.height;
    if (reduced) {
        std::tie(stored.full_x, stored.full_y) = std::pair(0, 0);
        stored.full_width = static_cast<int>(image.full_width());
        stored.full_height = static_cast<int>(image.full_height());
    }
    if (!output.supports("tiles")) stored.tile_width = stored.tile_height = stored.tile_depth = 0;
    if (!output.supports("negativeorigin") && (stored.x < 0 || stored.y < 0)) stored.x = stored.y = 0;
    if (straight) {
        stored.attribute("oiio:UnassociatedAlpha", 1);
    } else {
        stored.erase_attribute("oiio:UnassociatedAlpha");
    }
    // The library's integer conversion is undefined for NaN; clamp here so every value is defined.
    if (!direct && !stored.format.is_floating_point() && stored.channelformats.empty()) {
        algo::fixNonFinite(out.pixels, out.pixels, algo::NONFINITE_BLACK);
        algo::clamp(out.pixels, out.pixels, 0.0f, 1.0f);
    }
    return out;
}

// Scanlines go in strips, so the library converts a strip at a time instead of a copy of the frame.
bool write_pixels(ImageOutput& output, const Output_Part& part) {
    const void* data = part.data ? part.data : part.pixels.localpixels();
    const ImageSpec& stored = output.spec();
    if (stored.tile_width > 0) return output.write_image(part.type, data, part.xstride);
    const OIIO::stride_t pixel = part.xstride != OIIO::AutoStride ? part.xstride : static_cast<OIIO::stride_t>(stored.nchannels * part.type.size());
    constexpr int strip = 64;
    bool written = true;
    for (int y = 0; written && y < stored.height; y += strip) {
        const auto* first = reinterpret_cast<const std::byte*>(data) + y * pixel * stored.width;
        written = output.write_scanlines(stored.y + y, stored.y + std::min(y + strip, stored.height), 0,
                                         part.type, first, pixel);
    }
    return written;
}

// Names, at most four and a count of the rest.
std::string name_list(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < std::min<size_t>(names.size(), 4); ++i) text += (i == 0 ? "" : ", ") + names[i];
    return names.size() > 4 ? text + " and " + std::to_string(names.size() - 4) + " more" : text;
}

std::string window(int x, int y, int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height) + " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// What the written part lost of what it was asked to hold, read back from the file itself: a
// writer adapts silently what its format cannot store.
std::vector<std::string> losses_in_writing(const Image_File_Part& source, const ImageSpec& asked, const ImageSpec& stored) {
    const ImageSpec& header = source.header;
    std::vector<std::string> losses, names, types;
    for (const std::string& name : header.channelnames)
        if (stored.channelindex(name) < 0) names.push_back(name);
    if (!names.empty()) losses.push_back("channels " + name_list(names) + ": left out");
    for (int c = 0; c < stored.nchannels; ++c) {
        const int from = header.channelindex(stored.channel_name(c));
        if (from < 0 || header.channelformat(from) == stored.channelformat(c)) continue;
        const std::string change = std::string(header.channelformat(from).c_str()) + ": stored as " + stored.channelformat(c).c_str();
        if (std::ranges::find(types, change) == types.end()) types.push_back(change);
    }
    if (!types.empty()) losses.push_back("pixel type " + name_list(types));
    if (std::tie(asked.x, asked.y) != std::tie(stored.x, stored.y))
        losses.push_back("data window " + window(asked.x, asked.y, asked.width, asked.height) + ": stored at (" +
                         std::to_string(stored.x) + ", " + std::to_string(stored.y) + ")");
    if (std::tie(asked.full_x, asked.full_y, asked.full_width, asked.full_height) !=
        std::tie(stored.full_x, stored.full_y, stored.full_width, stored.full_height))
        losses.push_back("display window " + window(asked.full_x, asked.full_y, asked.full_width, asked.full_height) +
                         ": left out");
    const auto aspect = [](const ImageSpec& s) {
        const float a = s.get_float_attribute("PixelAspectRatio", 1.0f);
        return a > 0.0f ? a : 1.0f;
    };
    if (std::fabs(aspect(header) - aspect(stored)) > 1e-4f * aspect(header))
        losses.push_back("pixel aspect ratio " + std::to_string(aspect(header)) + ": stored as " + std::to_string(aspect(stored)));
    // A file that names no colour space is taken by the convention of its pixel type, as we read it;
    // one that names another (EXR always says linear) misleads.
    const std::string space = header.get_string_attribute("oiio:ColorSpace"), named = stored.get_string_attribute("oiio:ColorSpace");
    if (!space.empty() && !named.empty() && space != named)
        losses.push_back("colour space " + space + ": it reads back as " + named);
    // The format's own fields, the library's notes on the reading and the layout of samples say
    // nothing about the picture.
    names.clear();
    for (const OIIO::ParamValue& attribute : header.extra_attribs) {
        const std::string name = attribute.name().string();
        if (name.starts_with(source.format + ":") || name.starts_with("oiio:") || name == "compression" ||
            name == "PixelAspectRatio" || name == "planarconfig" || stored.extra_attribs.contains(name))
            continue;
        names.push_back(name);
    }
    if (!names.empty()) losses.push_back("metadata " + name_list(names) + ": left out");
    return losses;
}

std::vector<std::string> written_losses(const fs::path& path, const fs::path& written,
                                        std::span<const Loaded_Image> parts, const std::vector<Output_Part>& asked) {
    std::vector<std::string> warnings;
    const std::string name = "'" + path.string() + "' cannot hold ";
    if (asked.size() < parts.size())
        warnings.push_back(name + "more than one part: parts 2 to " + std::to_string(parts.size()) + " left out");
    const auto input = ImageInput::open(written.string());
    ImageSpec stored;
    for (size_t k = 0; input && k < asked.size() && input->seek_subimage(static_cast<int>(k), 0, stored); ++k) {
        const std::string which = asked.size() > 1 ? "part " + std::to_string(k + 1) + ": " : "";
        for (const std::string& loss : losses_in_writing(*parts[k].file, asked[k].header, stored))
            warnings.push_back(name + which + loss);
    }
    OIIO::geterror();
    return warnings;
}

}  // namespace

Loaded_Image read_image_file(const fs::path& path, int64_t memory_limit) {
    const Stderr_Capture printed;
    const auto input = open_input(path, printed);
    return read_part(path, *input, 0, memory_limit, printed);
}

std::vector<Loaded_Image> read_image_parts(const fs::path& path, int64_t memory_limit) {
    const Stderr_Capture printed;
    const auto input = open_input(path, printed);
    std::vector<Loaded_Image> parts;
    for (int part = 0; part == 0 || input->seek_subimage(part, 0); ++part) parts.push_back(read_part(path, *input, part, memory_limit, printed));
    return parts;
}

std::vector<std::string> write_image_parts(const fs::path& path, std::span<const Loaded_Image> parts,
                                           std::span<const Image_Rgba> images) {
    const Stderr_Capture printed;
    const std::unique_ptr<ImageOutput> output = ImageOutput::create(path.string());
    if (!output) {
        OIIO::geterror();
        fail_write(path, "unsupported image format");
    }
    if (parts.empty() || parts.size() != images.size()) fail_write(path, "no image for every part");
    const size_t count = output->supports("multiimage") ? parts.size() : 1;
    std::vector<Output_Part> asked;
    std::vector<ImageSpec> headers;
    for (size_t p = 0; p < count; ++p) {
        check_writable(path, images[p], output->format_name());
        // Only colour and alpha are rendered at the reduced size; the other channels have none.
        if (parts[p].file->pixels.initialized() && reduced_frame(parts[p].file->header, images[p]))
            fail_write(path, "channels other than colour and alpha have no reduced resolution (leave out --downsample)");
        asked.push_back(output_part(*parts[p].file, images[p], *output));
        headers.push_back(asked.back().header);
    }
    std::vector<std::string> warnings;
    write_file_atomically(path, [&](const fs::path& temporary) {
        bool written = output->open(temporary.string(), static_cast<int>(count), headers.data());
        for (size_t p = 0; written && p < count; ++p) {
            written = (p == 0 || output->open(temporary.string(), headers[p], ImageOutput::AppendSubimage)) &&
                      write_pixels(*output, asked[p]);
        }
        const bool closed = output->close();
        if (!written || !closed) fail_write(path, library_reason(output->geterror(), printed));
        warnings = written_losses(path, temporary, parts, asked);
    });
    return warnings;
}

void write_image_file(const fs::path& path, const Image_Rgba& image, int bits) {
    if (bits != 8 && bits != 16 && bits != 32) fail_write(path, "bit depth " + std::to_string(bits) + " (use 8, 16 or 32)");
    const std::unique_ptr<ImageOutput> output = ImageOutput::create(path.string());
    const std::string format = output ? output->format_name() : "";
    const int channels = opaque(image) ? 3 : 4;
    Image_File_Part part{ImageSpec(1, 1, channels, storage_type(format, bits)), "", {0, 1, 2, channels == 4 ? 3 : -1}, {}};
    part.header.alpha_channel = part.map.a;
    part.header.full_width = static_cast<int>(image.full_width());
    part.header.full_height = static_cast<int>(image.full_height());
    if (image.pixel_aspect != 1.0f) part.header.attribute("PixelAspectRatio", image.pixel_aspect);
    const Loaded_Image source{{}, bits, false, std::make_shared<const Image_File_Part>(std::move(part))};
    write_image_parts(path, std::span(&source, 1), std::span(&image, 1));
}

}  // namespace nb::tools
