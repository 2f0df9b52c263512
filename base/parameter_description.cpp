// Construction of the shared parameter description, with the derivation of the key.
#include "base/parameter_description.h"

#include <algorithm>
#include <utility>

namespace nb {

Parameter_Description::Parameter_Description(std::string name_, std::string key_, int64_t disc_id_)
    : name(std::move(name_)), key(key_.empty() ? name : std::move(key_)), disc_id(disc_id_) {
    // Keys name layers in the render's layer map and must survive as identifiers, so only spaces change.
    std::replace(key.begin(), key.end(), ' ', '_');
}

}  // namespace nb
