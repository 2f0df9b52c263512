// File-name patterns of image sequences (shot.####.exr, shot.%04d.exr) and frame ranges ("1-48").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nb::tools {

// An inclusive range of frame numbers; first <= last.
struct Frame_Range {
    int64_t first = 0;
    int64_t last = 0;

    // "A-B" or a single frame "A"; either number may carry a minus sign ("-5--1"). Throws
    // Tool_Error naming the text when it is malformed or ends before it starts.
    static Frame_Range parse(std::string_view text);

    int64_t count() const { return last - first + 1; }
    bool operator==(const Frame_Range&) const = default;
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
