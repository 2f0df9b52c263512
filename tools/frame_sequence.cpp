// File-name patterns of image sequences (shot.####.exr, shot.%04d.exr) and frame lists ("1-48x2,60").
#include "tools/frame_sequence.h"

#include <algorithm>
#include <cctype>

#include "tools/tool_error.h"

namespace nb::tools {
namespace {

// Fifteen digits keep every frame number and range length far from int64 overflow.
constexpr size_t max_digits = 15;
constexpr int max_width = 15;

bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Reads an optionally signed decimal number at `at`; false when there is none or it is too long.
bool read_number(std::string_view text, size_t& at, int64_t& value) {
    const bool negative = at < text.size() && text[at] == '-';
    size_t end = at + (negative ? 1 : 0);
    const size_t digits_begin = end;
    while (end < text.size() && is_digit(text[end])) ++end;
    const size_t digits = end - digits_begin;
    if (digits == 0 || digits > max_digits) return false;
    int64_t magnitude = 0;
    for (size_t i = digits_begin; i < end; ++i) magnitude = magnitude * 10 + (text[i] - '0');
    value = negative ? -magnitude : magnitude;
    at = end;
    return true;
}

std::string padded_number(int64_t frame, int width) {
    const bool negative = frame < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(frame) : static_cast<uint64_t>(frame);
    const std::string digits = std::to_string(magnitude);
    const int pad = width - static_cast<int>(digits.size()) - (negative ? 1 : 0);
    return (negative ? "-" : "") + std::string(static_cast<size_t>(std::max(pad, 0)), '0') + digits;
}

// Length of a printf placeholder at text[at] == '%' and its width: "%d", "%0Nd"; 0 when none.
size_t printf_placeholder(std::string_view text, size_t at, int& width, bool& space_padded) {
    size_t end = at + 1;
    while (end < text.size() && is_digit(text[end])) ++end;
    if (end >= text.size() || text[end] != 'd') return 0;
    const std::string_view digits = text.substr(at + 1, end - at - 1);
    space_padded = !digits.empty() && digits[0] != '0';
    width = 0;
    for (const char c : digits) width = std::min(width * 10 + (c - '0'), max_width + 1);
    return end + 1 - at;
}

// One comma-separated item: "A", "A-B" or "A-BxS"; empty reason when it is well formed.
std::string parse_range(std::string_view item, Frame_Range& range) {
    size_t at = 0;
    const char* const form = "is not a frame, a range such as 1-48 or a range with a step such as 1-48x2";
    if (!read_number(item, at, range.first)) return form;
    range.last = range.first;
    if (at == item.size()) return "";
    if (item[at++] != '-' || !read_number(item, at, range.last)) return form;
    if (at < item.size() && (item[at++] != 'x' || !read_number(item, at, range.step))) return form;
    if (at != item.size()) return form;
    if (range.last < range.first) return "ends before it starts";
    if (range.step < 1) return "has a step below 1";
    return "";
}

}  // namespace

Frame_List Frame_List::parse(std::string_view text) {
    Frame_List list;
    size_t begin = 0;
    do {
        const size_t comma = std::min(text.find(',', begin), text.size());
        const std::string_view item = text.substr(begin, comma - begin);
        Frame_Range range;
        const std::string reason = parse_range(item, range);
        if (!reason.empty()) {
            const std::string which = item.size() == text.size() ? "" : ": '" + std::string(item) + "'";
            throw Tool_Error("frames '" + std::string(text) + "'" + which + " " + reason);
        }
        list.ranges_.push_back(range);
        begin = comma + 1;
    } while (begin <= text.size());
    return list;
}

int64_t Frame_List::count() const {
    int64_t count = 0;
    for (const Frame_Range& range : ranges_) count += range.count();
    return count;
}

int64_t Frame_List::at(int64_t index) const {
    size_t range = 0;
    for (; index >= ranges_.at(range).count(); ++range) index -= ranges_[range].count();
    return ranges_[range].first + index * ranges_[range].step;
}

Frame_Pattern::Frame_Pattern(std::string_view text) {
    const auto fail = [&](const std::string& reason) {
        throw Tool_Error("file pattern '" + std::string(text) + "': " + reason);
    };
    for (size_t at = 0; at < text.size();) {
        int width = 0;
        bool space_padded = false;
        size_t length = 0;
        if (text[at] == '#') {
            length = text.find_first_not_of('#', at);
            length = (length == std::string_view::npos ? text.size() : length) - at;
            width = static_cast<int>(std::min<size_t>(length, max_width + 1));
        } else if (text[at] == '%' && at + 1 < text.size() && text[at + 1] == '%') {
            (sequence_ ? suffix_ : prefix_) += '%';
            at += 2;
            continue;
        } else if (text[at] == '%') {
            length = printf_placeholder(text, at, width, space_padded);
        }
        if (length == 0) {
            (sequence_ ? suffix_ : prefix_) += text[at++];
            continue;
        }
        if (space_padded) fail("space-padded " + std::string(text.substr(at, length)) + " is not supported; use %0Nd");
        if (sequence_) fail("more than one frame-number placeholder");
        if (width > max_width) fail("frame numbers wider than " + std::to_string(max_width) + " digits");
        sequence_ = true;
        width_ = width;
        at += length;
    }
    if (suffix_.find('/') != std::string::npos) fail("the frame number must be in the file name, not in a folder name");
}

std::string Frame_Pattern::path_for(int64_t frame) const {
    if (!sequence_) return prefix_;
    return prefix_ + padded_number(frame, width_) + suffix_;
}

}  // namespace nb::tools
