// Host numbering and creation order of parameters, shared by every concrete parameter factory.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/exception.h"
#include "base/parameter_kind.h"

namespace nb {

// Host controls a kind occupies: a colour with alpha adds its alpha slider, a custom control its
// hidden interface-data parameter. Groups and group ends are controls of their own.
template <class Kind>
constexpr int32_t host_control_count() {
    return std::is_same_v<Kind, Rgba_Parameter> || std::is_same_v<Kind, Custom_Parameter> ? 2 : 1;
}

// Index 0 is the effect's input layer, which the host supplies, so numbering starts at 1.
class Parameter_Index_Counter {
public:
    // Calls make(host index) and records what it returns; a throwing make leaves the count unchanged.
    template <class Kind, class Make>
    std::unique_ptr<Kind> create(Make&& make) {
        std::unique_ptr<Kind> parameter = std::forward<Make>(make)(next_index_);
        ASSERT(parameter != nullptr);
        created_.push_back(parameter.get());
        next_index_ += host_control_count<Kind>();
        return parameter;
    }

    int32_t next_index() const { return next_index_; }
    const std::vector<Parameter*>& created() const { return created_; }

private:
    int32_t next_index_ = 1;
    std::vector<Parameter*> created_;
};

}  // namespace nb
