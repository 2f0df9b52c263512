// Which application hosts the plug-in; the effect's parameter set and render differ under Premiere.
#pragma once

#include <cstdint>

namespace nb {

// Values are fixed: they name hosts in logs and in the host context's query.
enum class Plugin_Host : int32_t {
    after_effects = 0,
    premiere = 1,
    other_host = 5,  // any other application serving the effect interface; treated as After Effects
};

}  // namespace nb
