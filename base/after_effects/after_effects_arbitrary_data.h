// What a custom control's data needs from its declaring code when the host binding creates it.
#pragma once

#include "base/after_effects/ae_sdk.h"

namespace nb {

// One table per kind of arbitrary data (a custom control's data, its interface data). The binding only
// creates the host records and locks the data, so creating the default is all it asks of a table.
class Arbitrary_Data_Functions {
public:
    virtual ~Arbitrary_Data_Functions() = default;
    // A new host handle (in_data->utils) holding the default data; the host owns it once the parameter
    // is added. May throw; a null handle means the host had no memory.
    virtual PF_Handle new_default(PF_InData* in_data) const = 0;

protected:
    Arbitrary_Data_Functions() = default;
    Arbitrary_Data_Functions(const Arbitrary_Data_Functions&) = default;
    Arbitrary_Data_Functions& operator=(const Arbitrary_Data_Functions&) = default;
};

}  // namespace nb
