// Suggestions for a mistyped name: "unknown parameter 'radus'; did you mean: radius?".
#include "tools/closest_names.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace nb::tools {
namespace {

std::string folded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) out += (c == ' ' || c == '-') ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Within reach: a third of the longer word, never less than two edits, so short names still get
// help for one slip of each hand.
bool close_enough(const std::string& unknown, const std::string& name, size_t distance) {
    const size_t reach = std::max<size_t>(2, std::max(unknown.size(), name.size()) / 3);
    if (distance <= reach) return true;
    constexpr size_t min_contained = 3;
    const bool contained = unknown.size() >= min_contained &&
                           (name.find(unknown) != std::string::npos || unknown.find(name) != std::string::npos);
    return contained && std::min(unknown.size(), name.size()) >= min_contained;
}

struct Candidate {
    size_t distance;
    std::string spelling;
};

}  // namespace

size_t edit_distance(std::string_view a_text, std::string_view b_text) {
    const std::string a = folded(a_text), b = folded(b_text);
    // Three rows of the optimal-string-alignment table: two back for swaps, one back, current.
    std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t replace = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, replace});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[b.size()];
}

std::vector<std::string> closest_names(std::string_view unknown, std::span<const Known_Name> known, size_t limit) {
    const std::string wanted = folded(unknown);
    std::vector<Candidate> candidates;
    for (const Known_Name& name : known) {
        Candidate best{SIZE_MAX, {}};
        for (const std::string* spelling : {&name.key, &name.display_name}) {
            const size_t distance = spelling->empty() ? SIZE_MAX : edit_distance(wanted, *spelling);
            if (distance < best.distance) best = {distance, *spelling};
        }
        if (best.distance != SIZE_MAX && close_enough(wanted, folded(best.spelling), best.distance))
            candidates.push_back(best);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
    std::vector<std::string> names;
    for (size_t i = 0; i < candidates.size() && names.size() < limit; ++i) names.push_back(candidates[i].spelling);
    return names;
}

std::string unknown_name_message(std::string_view kind, std::string_view unknown,
                                 const std::vector<std::string>& suggestions) {
    std::string text = "unknown " + std::string(kind) + " '" + std::string(unknown) + "'";
    for (size_t i = 0; i < suggestions.size(); ++i) text += (i == 0 ? "; did you mean: " : ", ") + suggestions[i];
    return suggestions.empty() ? text : text + "?";
}

}  // namespace nb::tools
