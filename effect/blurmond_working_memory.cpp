// What drives the defocus's working memory, named by the control a user would change.
#include "effect/blurmond_working_memory.h"

#include <limits>
#include <new>
#include <string>

#include "base/exception.h"
#include "base/memory_size_text.h"

namespace nb {
namespace {

std::string control(const Parameter& parameter) { return "\"" + parameter.description().name + "\""; }

// The margins are what the iris adds around the frame. While they at most double its area, the frame
// is what there is to change; beyond that, the larger margin shows what made them.
std::string driver(const Blurmond_Parameters& p, const Blurmond_Working_Set& set, int64_t width, int64_t height,
                   bool alternative_iris) {
    const Blurmond_Geometry& g = set.geometry;
    const double frame = static_cast<double>(width) * static_cast<double>(height);
    const double grown = static_cast<double>(width + 2 * g.margin_x) * static_cast<double>(height + 2 * g.margin_y);
    if (grown <= 2.0 * frame) return "the frame size";
    const bool across = g.margin_x >= g.margin_y;
    const int64_t margin = across ? g.margin_x : g.margin_y, softened = across ? set.soften.x : set.soften.y;
    if (2 * softened >= margin) return control(*p.iris_soften);
    return control(alternative_iris ? static_cast<const Parameter&>(*p.alternative_iris) : *p.radius);
}

}  // namespace

void reserve_blur_memory(const Render_Context& context, const Blurmond_Parameters& parameters,
                         const Blurmond_Working_Set& set, int64_t frame_width, int64_t frame_height,
                         bool alternative_iris, double bytes) {
    if (!(bytes > 0.0)) return;
    try {
        if (bytes >= static_cast<double>(std::numeric_limits<int64_t>::max())) throw std::bad_alloc();
        context.reserve_memory(static_cast<int64_t>(bytes));
    } catch (const std::bad_alloc&) {
        const Blurmond_Geometry& g = set.geometry;
        throw Exception_Out_Of_Memory(
            "the blur needs " + memory_size_text(bytes) + " of working memory, more than the host can give; it grows with " +
            driver(parameters, set, frame_width, frame_height, alternative_iris) + " (the " +
            std::to_string(frame_width) + " x " + std::to_string(frame_height) + " frame is worked on as " +
            std::to_string(g.width) + " x " + std::to_string(g.height) + ")");
    }
}

}  // namespace nb
