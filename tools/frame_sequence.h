// File-name patterns of image sequences (shot.####.exr, shot.%04d.exr) and frame lists ("1-48x2,60").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nb::tools {

// An inclusive range of frame numbers taken every step frames: first, first + step, ... up to last.
struct Frame_Range {
    int64_t first = 0;
    int64_t last = 0;   // first <= last
    int64_t step = 1;   // >= 1; last need not be on a step

    int64_t count() const { return (last - first) / step + 1; }
    bool operator==(const Frame_Range&) const = default;
};

// The frames of a sequence in the order given, a frame given twice rendered twice: ranges "A-B", steps
// "A-BxS" and single frames "A" joined by commas ("1-9x2,20,30-32"). Any number may carry a minus
// sign ("-5--1").
class Frame_List {
public:
    // Throws Tool_Error naming the text and the faulty item when an item is malformed, ends before it
    // starts or has a step below 1.
    static Frame_List parse(std::string_view text);

    int64_t count() const;
    // The index-th frame; index >= 0; throws std::out_of_range from count() on.
    int64_t at(int64_t index) const;

private:
    std::vector<Frame_Range> ranges_;
};

// A file name with at most one frame-number placeholder: a run of '#' (as many digits as '#') or
// printf's "%d" / "%0Nd". "%%" stands for one '%'. Numbers longer than the width are written in
// full; a minus sign counts towards the width, as printf counts it.
class Frame_Pattern {
public:
    // A '%' that starts none of the forms above is literal text, except "%Nd" (space padding),
    // which is refused. Throws Tool_Error for that, for two placeholders, and for a placeholder
    // outside the file name (in a folder name).
    explicit Frame_Pattern(std::string_view text);

    // False for a plain file name: every frame is that file.
    bool is_sequence() const { return sequence_; }

    std::string path_for(int64_t frame) const;


private:
    std::string prefix_;  // literal text before the placeholder, "%%" already resolved
    std::string suffix_;
    int width_ = 0;
    bool sequence_ = false;
};

}  // namespace nb::tools
