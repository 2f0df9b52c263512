// Rendering image files: one file, or a sequence whose reading and writing overlap the rendering.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/image_file.h"
#include "tools/render_options.h"

namespace nb::tools {

class Render_Job;

// The three stages of a file; a sequence runs reading and writing on threads of their own. Reading
// refuses an output naming the input file itself unless --overwrite; rendering sets each part's depth
// and gamma default as its pixels call for, and takes the parts' colour unless --missing hold may render
// them again. All throw Tool_Error (an interrupting signal included).
std::vector<Loaded_Image> read_frame(const Render_Options& options, const std::string& input, const std::string& output,
                                     int64_t memory_limit);
std::vector<Image_Rgba> render_frame(Render_Job& job, const Render_Options& options, std::vector<Loaded_Image>& parts);

// Renders options.input to options.output. On `err`, with `progress` (a terminal) the bar while the effect
// renders, erased afterwards, then any warnings. Throws Tool_Error.
void render_file(Render_Job& job, const Render_Options& options, std::ostream& err, bool progress);

// Renders every frame of options.frames, in order, from the INPUT pattern to the OUTPUT pattern. The
// next frame is read and the previous one written while the current one renders; at most one frame
// each. A frame without input file follows options.missing; what is skipped or held says so in a line.
// On `err`, with `progress` (a terminal) the bar, counting the frame in progress by the effect's abort
// queries against those of the frame before; otherwise a line per frame finished with its time. Warnings
// go to `err`. Returns the number of frames rendered. Throws Tool_Error naming the earliest frame that
// failed, once the frames before it are written; frames after it are not written.
int64_t render_sequence(Render_Job& job, const Render_Options& options, std::ostream& err, bool progress);

}  // namespace nb::tools
