// Every handle of the effect's parameter set by field name, so tests can walk the set as data.
#pragma once

#include <string>
#include <vector>

#include "effect/blurmond_parameters.h"

namespace nb::test {

using Blurmond_Field = Parameter* (*)(const Blurmond_Parameters&);

struct Named_Blurmond_Field {
    std::string name;
    Blurmond_Field field;
};

// In the record's field order; a field whose parameter the host variant lacks reads as null.
const std::vector<Named_Blurmond_Field>& blurmond_fields();

// The handle of the named field; an unknown name fails the calling test and returns null.
Parameter* blurmond_field(const Blurmond_Parameters& parameters, const std::string& name);

}  // namespace nb::test
