// Root of the parameter hierarchy: what every parameter offers, whatever its kind and host.
#pragma once

#include <string>
#include <utility>

#include "base/parameter_description.h"

namespace nb {

// Lives for one host call and holds no value of its own: every read and change goes to the host.
// Kind classes derive from it virtually, so a parameter reached through its kind interface and
// reached as a Parameter is one object. Operations may throw the host's exceptions.
class Parameter {
public:
    virtual ~Parameter() = default;
    // The shared part of the description the parameter was created from.
    virtual const Parameter_Description& description() const = 0;
    virtual void set_expanded(bool open) = 0;  // opens or collapses the twirl
    virtual void set_enabled(bool on) = 0;     // false greys the control out
    virtual void set_visible(bool shown) = 0;
    virtual void set_name(const std::string& name) = 0;
    // True when the parameter has keyframes or otherwise varies over time.
    virtual bool is_animated() const = 0;

protected:
    Parameter() = default;
    Parameter(const Parameter&) = default;
    Parameter& operator=(const Parameter&) = default;
};

// Holds the kind's description; the covariant description() gives the kind's own fields.
template <class Description>
class Parameter_With_Description : public virtual Parameter {
public:
    const Description& description() const override { return description_; }

protected:
    explicit Parameter_With_Description(Description description) : description_(std::move(description)) {}

private:
    Description description_;
};

}  // namespace nb
