// Tests of the iris geometry's per-row changes against a plain pixel-by-pixel scan.
#include "kernel/lens_information.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "base/exception.h"
#include "tests/support/iris_oracle.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

struct Geometry_Case {
    const char* label;
    test::Iris_Oracle_Settings settings;
};

Lens_Settings lens_settings(const test::Iris_Oracle_Settings& s) {
    return {s.radius, s.rounded, s.border_thickness, s.border_brightness, s.aspect,
            s.angle,  s.facets,  s.pixel_aspect,     s.horizontal_factor, s.vertical_factor};
}

// Compares the stored rows with the scanned ones; an empty text means they agree. Changes must be
// bit-identical: both sides evaluate the same formulas in the same order, and skipping may only
// leave out pixels whose value is known exactly.
std::string compare_rows(const LensInformation& lens, const test::Iris_Scan& scan, const std::vector<int32_t>& rows) {
    std::ostringstream error;
    if (lens.m != scan.m) return "m " + std::to_string(lens.m) + " != " + std::to_string(scan.m);
    for (int32_t y : rows) {
        const auto& expected = scan.rows[static_cast<size_t>(scan.m + y)];
        const int32_t count = lens.has_row(y) ? lens.row_count[lens.m + y] : 0;
        if (count != static_cast<int32_t>(expected.size())) {
            error << "row " << y << ": " << count << " changes stored, " << expected.size() << " scanned";
            return error.str();
        }
        const Lens_Event* events = count > 0 ? lens.events + lens.row_start[lens.m + y] : nullptr;
        for (int32_t k = 0; k < count; ++k) {
            if (events[k].x == expected[k].x && events[k].value_change == expected[k].value_change) continue;
            error << "row " << y << " change " << k << ": stored (x " << events[k].x << ", "
                  << events[k].value_change << "), scanned (x " << expected[k].x << ", "
                  << expected[k].value_change << ")";
            return error.str();
        }
    }
    return "";
}

std::vector<int32_t> all_rows(int32_t m) {
    std::vector<int32_t> rows;
    for (int32_t y = -m; y <= m; ++y) rows.push_back(y);
    return rows;
}

class LensInformationScan : public ::testing::TestWithParam<Geometry_Case> {};

TEST_P(LensInformationScan, StoredChangesEqualPixelByPixelScan) {
    const Geometry_Case& c = GetParam();
    test::Test_Host host(1);
    const LensInformation lens = LensInformation::build(lens_settings(c.settings), host.context());
    const test::Iris_Scan scan = test::scan_iris(c.settings);
    const std::string difference = compare_rows(lens, scan, all_rows(scan.m));
    EXPECT_EQ(difference, "") << c.label;
}

// Small and odd sizes, every kind of blade, both border signs, squeezed both ways, several layer
// shapes, and the degenerate settings a direct caller can pass.
const Geometry_Case scan_cases[] = {
    {"hexagon", {20.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}},
    {"near circle", {25.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.2f, 7}},
    {"triangle, flat blades", {30.0f, 0.0f, 0.0f, 0.0f, 0.0f, -2.0f, 3}},
    {"dark border", {22.0f, 0.2f, 0.3f, -0.5f, 0.0f, 0.1f, 8}},
    {"border only", {18.0f, 0.9f, 0.1f, 1.0f, 0.0f, 0.0f, 6}},
    {"hairline border", {18.0f, 0.5f, 0.01f, 0.8f, 0.0f, 0.0f, 5}},
    {"whole border", {18.0f, 0.5f, 1.0f, 0.4f, 0.0f, 0.0f, 5}},
    {"tall with border", {15.0f, 0.3f, 0.25f, 0.7f, -0.75f, 0.4f, 6}},
    {"squeeze floor", {12.0f, 0.5f, 0.0f, 0.0f, 0.98f, 0.0f, 4}},
    {"pixel aspect and half resolution", {26.0f, 0.1f, 0.0f, 0.0f, 0.2f, 1.0f, 7, 0.9f, 0.5f, 0.5f}},
    {"uneven factors", {20.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6, 1.0f, 0.25f, 1.0f}},
    {"radius zero", {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6}},
    {"radius below a pixel", {0.4f, 1.0f, 0.0f, 0.0f, 0.5f, 0.0f, 3}},
    {"many blades", {40.0f, 0.0f, 0.2f, 0.5f, 0.0f, 0.01f, 999}},
    {"blades capped at 1000", {10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 5000}},
    {"two blades", {10.0f, 0.3f, 0.0f, 0.0f, 0.0f, 0.5f, 2}},
    {"negative blades: circle", {10.0f, 0.0f, 0.2f, 0.5f, 0.0f, 0.0f, -4}},
    {"inner outline larger than outer", {10.0f, 0.5f, -1.0f, -0.5f, 0.0f, 0.0f, 6}},
};

INSTANTIATE_TEST_SUITE_P(Cases, LensInformationScan, ::testing::ValuesIn(scan_cases));

// Rows of the largest iris the parameters allow, checked against a scan of those rows only (rows are
// independent). A fixed store would run out at the bottom rows, so those are always among them.
std::vector<int32_t> sample_rows(const LensInformation& lens) {
    std::vector<int32_t> rows;
    for (int32_t y = -lens.m; y <= lens.m; y += 41) rows.push_back(y);
    for (int32_t k = 0; k < 12; ++k) {
        rows.push_back(lens.first_row + k);
        rows.push_back(lens.last_row - k);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

struct Largest_Case {
    const char* label;
    float aspect;
    float border_brightness;
};

class LensInformationLargest : public ::testing::TestWithParam<Largest_Case> {};

TEST_P(LensInformationLargest, StoresEveryChange) {
    const Largest_Case& c = GetParam();
    const test::Iris_Oracle_Settings settings{999.0f, 0.0f, 0.3f, c.border_brightness, c.aspect, 0.3f, 999};
    test::Test_Host host(1);
    const LensInformation lens = LensInformation::build(lens_settings(settings), host.context());
    const std::vector<int32_t> rows = sample_rows(lens);
    const test::Iris_Scan scan = test::scan_iris(settings, rows);
    EXPECT_EQ(compare_rows(lens, scan, rows), "") << c.label;

    // Every row's records are its changes, the copy of a lone change and the terminator.
    int64_t records = 0;
    for (int32_t y = -lens.m; y <= lens.m; ++y) {
        const int32_t count = lens.row_count[lens.m + y];
        const Lens_Event* events = lens.events + lens.row_start[lens.m + y];
        const int32_t extra = count == 1 ? 1 : 0;
        ASSERT_EQ(events[count + extra].x, LensInformation::end_of_row) << c.label << ", row " << y;
        records += count + extra + 1;
    }
    EXPECT_EQ(records, lens.stored) << c.label;
}

const Largest_Case largest_cases[] = {
    {"tall", -0.75f, 0.0f},
    {"wide with border", 0.75f, 0.5f},
};

INSTANTIATE_TEST_SUITE_P(Cases, LensInformationLargest, ::testing::ValuesIn(largest_cases));

TEST(LensInformation, FullFirstBlockGrowsWithoutDroppingChanges) {
    const test::Iris_Oracle_Settings settings{22.0f, 0.6f, 0.2f, 0.5f, 0.3f, 0.3f, 9};
    test::Test_Host host(1);
    Render_Context context = host.context();
    int allocations = 0;
    auto allocate = context.allocate_memory;
    context.allocate_memory = [&](int64_t bytes) {
        ++allocations;
        return allocate(bytes);
    };
    const LensInformation grown = LensInformation::build(lens_settings(settings), context, 1);
    const test::Iris_Scan scan = test::scan_iris(settings);
    EXPECT_EQ(compare_rows(grown, scan, all_rows(scan.m)), "");
    EXPECT_GT(allocations, 5) << "a first block of one record must have grown several times";
    EXPECT_EQ(grown.stored, LensInformation::build(lens_settings(settings), host.context()).stored);
}

TEST(LensInformation, LoneChangeIsFollowedByItsNegation) {
    // The inner outline reaches past the scanned columns, so the rows above the outer outline are a
    // constant 0.5 from the first column on: one change each.
    const Lens_Settings settings{10.0f, 0.5f, -1.0f, -0.5f, 0.0f, 0.0f, 6, 1.0f, 1.0f, 1.0f};
    test::Test_Host host(1);
    const LensInformation lens = LensInformation::build(settings, host.context());
    ASSERT_TRUE(lens.has_row(-lens.m));
    ASSERT_EQ(lens.row_count[0], 1);
    const Lens_Event* events = lens.events + lens.row_start[0];
    EXPECT_EQ(events[0].value_change, 0.5f);
    EXPECT_EQ(events[1].value_change, -0.5f);
    EXPECT_EQ(events[1].x, events[0].x);
    EXPECT_EQ(events[2].x, LensInformation::end_of_row);
}

TEST(LensInformation, SettingsWithoutAnIrisStoreNothing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* label;
        Lens_Settings settings;
    } cases[] = {
        {"negative radius", {-3.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6, 1.0f, 1.0f, 1.0f}},
        {"NaN radius", {nan, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6, 1.0f, 1.0f, 1.0f}},
        {"infinite radius", {inf, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6, 1.0f, 1.0f, 1.0f}},
        {"NaN rounded", {5.0f, nan, 0.0f, 0.0f, 0.0f, 0.0f, 6, 1.0f, 1.0f, 1.0f}},
        {"infinite angle", {5.0f, 0.0f, 0.0f, 0.0f, 0.0f, inf, 6, 1.0f, 1.0f, 1.0f}},
        {"aspect below -1", {5.0f, 0.0f, 0.0f, 0.0f, -3.0f, 0.0f, 6, 1.0f, 1.0f, 1.0f}},
        {"zero pixel aspect", {5.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6, 0.0f, 1.0f, 1.0f}},
    };
    test::Test_Host host(1);
    for (const auto& c : cases) {
        const LensInformation lens = LensInformation::build(c.settings, host.context());
        EXPECT_FALSE(lens.storage) << c.label;
        EXPECT_GT(lens.first_row, lens.last_row) << c.label;
    }
}

TEST(LensInformation, IrisTooLargeToIndexIsRefused) {
    const Lens_Settings settings{1.0e6f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 6, 1.0f, 1.0f, 1.0f};
    test::Test_Host host(1);
    EXPECT_THROW(LensInformation::build(settings, host.context()), Exception_Assert);
}

}  // namespace
}  // namespace nb
