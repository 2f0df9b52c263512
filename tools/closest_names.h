// Suggestions for a mistyped name: "unknown parameter 'radus'; did you mean: radius?".
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nb::tools {

// A name the user may type: a parameter's key and its display name.
struct Known_Name {
    std::string key;
    std::string display_name;
};

// Edits (insert, delete, replace, swap of neighbours) that turn a into b, comparing letters
// without case and counting ' ', '_' and '-' as the same character.
size_t edit_distance(std::string_view a, std::string_view b);

// Up to `limit` spellings closest to `unknown`, nearest first (ties in the order given), at most
// one per known name: its key or display name, whichever is nearer. A spelling counts when it is
// within a third of the longer word's length (at least 2 edits), or when one contains the other
// (three letters or more).
std::vector<std::string> closest_names(std::string_view unknown, std::span<const Known_Name> known,
                                       size_t limit = 3);

// "unknown parameter 'radus'; did you mean: radius?" or, without suggestions,
// "unknown parameter 'radus'"; `kind` is the noun ("parameter", "option").
std::string unknown_name_message(std::string_view kind, std::string_view unknown,
                                 const std::vector<std::string>& suggestions);

}  // namespace nb::tools
