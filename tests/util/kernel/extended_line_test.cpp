// Edge-rule continuation of a line: mapping, stepping, prefix terms and folding against direct enumeration.
#include "util/kernel/extended_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/exception.h"
#include "tests/support/area_average_oracle.h"

namespace nb {
namespace {

struct Rule_Case {
    Outside rule;
    const char* name;
};

class ExtendedLine : public ::testing::TestWithParam<Rule_Case> {
protected:
    int rule_number() const { return static_cast<int>(GetParam().rule); }

    // Sum of the extended line over 0..b, or minus the sum over b+1..-1, sample by sample.
    double direct_prefix(const std::vector<double>& line, int64_t b) const {
        const int64_t length = static_cast<int64_t>(line.size());
        double sum = 0.0;
        const auto value = [&](int64_t p) {
            const int64_t i = test::oracle_sample(rule_number(), p, length);
            return i < 0 ? 0.0 : line[size_t(i)];
        };
        for (int64_t p = 0; p <= b; ++p) sum += value(p);
        for (int64_t p = b + 1; p <= -1; ++p) sum -= value(p);
        return sum;
    }
};

TEST_P(ExtendedLine, IndexAgreesWithStepwiseReflection) {
    for (int64_t length = 1; length <= 5; ++length) {
        const Extended_Line line(GetParam().rule, length);
        for (int64_t p = -60; p <= 60; ++p)
            ASSERT_EQ(line.index(p), test::oracle_sample(rule_number(), p, length)) << "length " << length << " position " << p;
    }
}

TEST_P(ExtendedLine, WalkerVisitsTheSamplesIndexNames) {
    for (int64_t length = 1; length <= 4; ++length) {
        const Extended_Line line(GetParam().rule, length);
        for (int64_t start : {-23, -1, 0, 2, 17}) {
            Extended_Line::Walker w = line.walker(start);
            for (int64_t p = start; p < start + 40; ++p, w.advance())
                ASSERT_EQ(w.index(), line.index(p)) << "length " << length << " start " << start << " position " << p;
        }
    }
}

TEST_P(ExtendedLine, PrefixTermsSumTheExtendedLine) {
    // Whole-number samples keep every sum exact in double, so the comparison is exact.
    const std::vector<double> samples = {3, -1, 4, 1, 5};
    for (size_t length = 1; length <= samples.size(); ++length) {
        const std::vector<double> line(samples.begin(), samples.begin() + long(length));
        std::vector<double> inclusive(length);
        double running = 0.0;
        for (size_t i = 0; i < length; ++i) inclusive[i] = running += line[i];
        const Extended_Line extended(GetParam().rule, int64_t(length));
        for (int64_t b = -47; b <= 47; ++b) {
            const Extended_Line::Prefix_Terms terms = extended.prefix(b);
            ASSERT_LE(terms.count, 2);
            double sum = 0.0;
            for (int t = 0; t < terms.count; ++t) sum += terms.coefficient[t] * inclusive[size_t(terms.index[t])];
            ASSERT_EQ(sum, direct_prefix(line, b)) << "length " << length << " b " << b;
        }
    }
}

TEST_P(ExtendedLine, FoldedWeightsMatchEnumeration) {
    struct Range {
        int64_t a, b;
    };
    // Ranges shorter than a period, exactly a period, and many periods on either side.
    const Range ranges[] = {{0, 0}, {-2, 3}, {-7, -1}, {4, 9}, {-31, 40}, {-200, -150}, {95, 333}};
    for (int64_t length = 1; length <= 4; ++length) {
        const Extended_Line line(GetParam().rule, length);
        for (const Range& r : ranges) {
            std::vector<double> folded(size_t(length), 0.0), direct(size_t(length), 0.0);
            line.fold_linear(r.a, r.b, 7.0, -0.5, folded);
            for (int64_t p = r.a; p <= r.b; ++p) {
                const int64_t i = test::oracle_sample(rule_number(), p, length);
                if (i >= 0) direct[size_t(i)] += 7.0 - 0.5 * double(p);
            }
            for (int64_t i = 0; i < length; ++i)
                ASSERT_NEAR(folded[size_t(i)], direct[size_t(i)], 1e-9 * (1.0 + std::abs(direct[size_t(i)])))
                    << "length " << length << " range " << r.a << ".." << r.b << " sample " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, ExtendedLine,
                         ::testing::Values(Rule_Case{Outside::border, "Border"}, Rule_Case{Outside::mirrored, "Mirrored"},
                                           Rule_Case{Outside::repeated, "Repeated"}, Rule_Case{Outside::color, "Zero"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExtendedLineLength, EmptyLineIsRefused) { EXPECT_THROW(Extended_Line(Outside::border, 0), Exception_Assert); }

}  // namespace
}  // namespace nb
