// Index mapping, stepping, prefix-sum terms and weight folding over a line continued by an edge rule.
#include "util/kernel/extended_line.h"

#include <algorithm>

#include "base/exception.h"

namespace nb {

namespace {

int64_t floor_div(int64_t a, int64_t m) {
    const int64_t q = a / m;
    return (a % m != 0 && (a < 0) != (m < 0)) ? q - 1 : q;
}

int64_t floor_mod(int64_t a, int64_t m) { return a - floor_div(a, m) * m; }

// Collects prefix terms, merging equal indices; C(-1) and zero coefficients add nothing.
void add_term(Extended_Line::Prefix_Terms& terms, int64_t index, double coefficient) {
    if (index < 0 || coefficient == 0.0) return;
    for (int i = 0; i < terms.count; ++i)
        if (terms.index[i] == index) {
            terms.coefficient[i] += coefficient;
            return;
        }
    terms.index[terms.count] = index;
    terms.coefficient[terms.count] = coefficient;
    ++terms.count;
}

bool is_extending(Outside rule) {
    return rule == Outside::border || rule == Outside::mirrored || rule == Outside::repeated;
}

}  // namespace

Extended_Line::Extended_Line(Outside rule, int64_t length)
    : rule_(is_extending(rule) ? rule : Outside::color), length_(length) {
    ASSERT(length >= 1, "an extended line needs at least one sample");
}

int64_t Extended_Line::period() const {
    if (rule_ == Outside::mirrored) return 2 * length_;
    if (rule_ == Outside::repeated) return length_;
    return 0;
}

int64_t Extended_Line::index(int64_t position) const {
    switch (rule_) {
        case Outside::border:
            return std::clamp<int64_t>(position, 0, length_ - 1);
        case Outside::mirrored: {
            const int64_t m = floor_mod(position, 2 * length_);
            return m < length_ ? m : 2 * length_ - 1 - m;
        }
        case Outside::repeated:
            return floor_mod(position, length_);
        default:
            return position >= 0 && position < length_ ? position : -1;
    }
}

Extended_Line::Walker Extended_Line::walker(int64_t position) const {
    Walker w;
    w.rule_ = rule_;
    w.length_ = length_;
    w.position_ = position;
    w.index_ = index(position);
    if (rule_ == Outside::mirrored) w.direction_ = floor_mod(position, 2 * length_) < length_ ? 1 : -1;
    return w;
}

void Extended_Line::Walker::advance() {
    ++position_;
    switch (rule_) {
        case Outside::mirrored:
            // The end sample is read twice when the direction turns.
            index_ += direction_;
            if (index_ == length_) {
                index_ = length_ - 1;
                direction_ = -1;
            } else if (index_ < 0) {
                index_ = 0;
                direction_ = 1;
            }
            break;
        case Outside::repeated:
            if (++index_ == length_) index_ = 0;
            break;
        case Outside::border:
            index_ = std::clamp<int64_t>(position_, 0, length_ - 1);
            break;
        default:
            index_ = position_ >= 0 && position_ < length_ ? position_ : -1;
            break;
    }
}

Extended_Line::Prefix_Terms Extended_Line::prefix(int64_t b) const {
    Prefix_Terms terms;
    const int64_t n = length_;
    const int64_t s = b + 1;  // number of positions from 0 up to and including b
    switch (rule_) {
        case Outside::border:
            if (b < 0) {
                add_term(terms, 0, static_cast<double>(s));
            } else if (b < n) {
                add_term(terms, b, 1.0);
            } else {
                // Every position past the end reads sample n-1, whose value is C(n-1) - C(n-2).
                add_term(terms, n - 1, static_cast<double>(b - n + 2));
                add_term(terms, n - 2, -static_cast<double>(b - n + 1));
            }
            break;
        case Outside::repeated: {
            const int64_t q = floor_div(s, n);
            add_term(terms, n - 1, static_cast<double>(q));
            add_term(terms, s - q * n - 1, 1.0);
            break;
        }
        case Outside::mirrored: {
            // One period is the line forwards then backwards and sums to 2 C(n-1).
            const int64_t q = floor_div(s, 2 * n);
            const int64_t r = s - q * 2 * n;
            if (r <= n) {
                add_term(terms, n - 1, 2.0 * static_cast<double>(q));
                add_term(terms, r - 1, 1.0);
            } else {
                add_term(terms, n - 1, 2.0 * static_cast<double>(q) + 2.0);
                add_term(terms, 2 * n - r - 1, -1.0);
            }
            break;
        }
        default:
            if (b >= 0) add_term(terms, std::min(b, n - 1), 1.0);
            break;
    }
    return terms;
}

void Extended_Line::fold_linear(int64_t a, int64_t b, double constant, double slope,
                                std::vector<double>& weights) const {
    ASSERT(static_cast<int64_t>(weights.size()) == length_, "one weight per sample");
    if (a > b) return;
    const auto range_sum = [&](int64_t lo, int64_t hi) {
        const double count = static_cast<double>(hi - lo + 1);
        return count * constant + slope * count * (static_cast<double>(lo) + static_cast<double>(hi)) * 0.5;
    };
    const int64_t p = period();
    if (p == 0) {
        const bool border = rule_ == Outside::border;
        if (border && a < 0) weights[0] += range_sum(a, std::min<int64_t>(b, -1));
        for (int64_t i = std::max<int64_t>(a, 0); i <= std::min(b, length_ - 1); ++i)
            weights[i] += constant + slope * static_cast<double>(i);
        if (border && b >= length_) weights[length_ - 1] += range_sum(std::max(a, length_), b);
        return;
    }
    if (b - a < p) {
        Walker w = walker(a);
        for (int64_t i = a; i <= b; ++i, w.advance()) weights[w.index()] += constant + slope * static_cast<double>(i);
        return;
    }
    // The range covers every residue: each one is an arithmetic progression k0, k0 + p, ...
    for (int64_t residue = 0; residue < p; ++residue) {
        const int64_t k0 = a + floor_mod(residue - a, p);
        const double count = static_cast<double>(floor_div(b - k0, p) + 1);
        const double position_sum = count * static_cast<double>(k0) + static_cast<double>(p) * count * (count - 1.0) * 0.5;
        weights[index(residue)] += count * constant + slope * position_sum;
    }
}

}  // namespace nb
