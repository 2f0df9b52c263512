// Any bytes as an image file of each format the command reads: refused with a Tool_Error, or read,
// copied through host pixels of its depth and written back in its format.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <fstream>
#include <memory>
#include <vector>

#include <OpenImageIO/imageio.h>

#include "tests/support/temp_folder.h"
#include "tools/host_pixels.h"
#include "tools/image_file.h"
#include "tools/reader_faults.h"
#include "tools/tool_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const nb::test::Temp_Folder folder;
    static const char* const extensions[] = {"exr", "png", "jpg", "tif", "tga", "bmp", "hdr",
                                             "ppm", "dpx", "sgi", "psd", "gif", "webp"};
    if (size < 2) return 0;
    const std::string extension = extensions[data[0] % std::size(extensions)];
    const nb::tools::Host_Pixel_Layout layout{data[1] % 2 ? nb::tools::Channel_Order::bgra : nb::tools::Channel_Order::argb};
    std::ofstream(folder / ("in." + extension), std::ios::binary).write(reinterpret_cast<const char*>(data + 2), size - 2);
    // A header may claim gigabytes (the command's tests check it refuses more than the machine has), and the
    // reader reserves 256 rows at a time however few the image has. Where memory runs out the command says
    // so, but an instrumented allocation ends the run instead of throwing: files that need over 1 GB are left.
    // The library's own reader may not see a file the command refuses before it reads.
    std::unique_ptr<OIIO::ImageInput> header;
    try {
        if (!nb::tools::reader_fault(folder / ("in." + extension)))
            header = OIIO::ImageInput::open((folder / ("in." + extension)).string());
    } catch (const std::exception&) {  // the command refuses such a file: read it through the command's code
    }
    if (header && 256.0 * header->spec().scanline_bytes(true) +
                          (header->spec().nchannels + 4) * 4.0 * static_cast<double>(header->spec().image_pixels()) > 1e9)
        return 0;
    OIIO::geterror();
    try {
        const nb::tools::Loaded_Image loaded = nb::tools::read_image_file(folder / ("in." + extension), int64_t{1} << 30);
        const nb::tools::Host_Pixel_Layout host{layout.order, loaded.bits};
        const int64_t row_bytes = loaded.image.width * host.bytes_per_pixel();
        std::vector<std::byte> pixels(static_cast<size_t>(row_bytes * loaded.image.height));
        nb::tools::write_host_pixels(loaded.image, host, pixels.data(), row_bytes);
        const nb::tools::Image_Rgba copy =
            nb::tools::read_host_pixels(host, pixels.data(), row_bytes, loaded.image.width, loaded.image.height);
        nb::tools::write_image_file(folder / ("out." + extension), copy, loaded.bits);
    } catch (const nb::tools::Tool_Error&) {
    }
    return 0;
}
