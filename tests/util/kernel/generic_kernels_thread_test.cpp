// The generic kernels give the same pixels on one host thread as on four sharing rows and columns.
#include <gtest/gtest.h>

#include "tests/support/image_compare.h"
#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"
#include "util/kernel/kernel_copy_cpu.h"
#include "util/kernel/kernel_make_solid_cpu.h"
#include "util/kernel/kernel_prefix_scan_2d_cpu.h"
#include "util/kernel/kernel_triangle_blur_cpu.h"
#include "util/kernel/kernel_zoom_cpu.h"

namespace nb {
namespace {

using Pixel = Pixel_Bgra_32f;
using Table_Pixel = Sum_Table_Pixel<Pixel>;

// Runs every kernel on a copy of the same image and returns the last result; sizes are uneven so
// the column shares and column blocks end in partial pieces.
void run_all(int64_t threads, test::Owned_Layer<Pixel>& image, test::Owned_Layer<Table_Pixel>& table,
             test::Owned_Layer<Pixel>& zoomed) {
    test::Test_Host host(threads);
    image.fill_random(31, -0.25f, 1.5f);

    Kernel_Triangle_Blur<Layer<Pixel>> blur;
    blur.in.in = blur.in.out = image.layer();
    blur.in.radius_x = 3.4f;
    blur.in.radius_y = 41.5f;
    blur.in.outside = Outside::repeated;
    blur.run(host.context());

    Kernel_Prefix_Scan_2d<Layer<Pixel>, Layer<Table_Pixel>> scan;
    scan.in.in = image.layer();
    scan.in.out = table.layer();
    scan.run(host.context());

    Kernel_Zoom<Layer<Pixel>, Layer<Pixel>> zoom;
    zoom.in.sum_table = table.layer();
    zoom.in.out = zoomed.layer();
    zoom.in.zoom_x = 2.6f;
    zoom.in.zoom_y = 0.45f;
    zoom.in.outside_horizontal = Outside::mirrored;
    zoom.run(host.context());

    Kernel_Make_Solid<Layer<Pixel>> solid;
    solid.in.image = zoomed.layer();
    solid.run(host.context());

    Kernel_Copy<Layer<Pixel>, Layer<Pixel>> copy;
    copy.in.in = zoomed.layer();
    copy.in.out = image.layer();
    copy.in.offset_x = 3;
    copy.run(host.context());
}

TEST(GenericKernelsThreads, FourThreadsGiveTheOneThreadPixels) {
    test::Owned_Layer<Pixel> image_1(83, 61), image_4(83, 61), zoomed_1(70, 90), zoomed_4(70, 90);
    test::Owned_Layer<Table_Pixel> table_1(83, 61), table_4(83, 61);
    run_all(1, image_1, table_1, zoomed_1);
    run_all(4, image_4, table_4, zoomed_4);
    const test::Worst_Difference table = test::worst_difference(table_4.layer(), table_1.layer());
    const test::Worst_Difference image = test::worst_difference(image_4.layer(), image_1.layer());
    EXPECT_EQ(table.difference, 0.0) << "table: " << table.describe();
    EXPECT_EQ(image.difference, 0.0) << "image: " << image.describe();
}

}  // namespace
}  // namespace nb
