// What the effect says about itself to every host: name, maker, version, stage and one-line description.
#pragma once

#include "base/plugin_description.h"

namespace nb {

// The same record on every call; the host binding derives the version word and the about text from it.
Plugin_Description blurmond_description();

}  // namespace nb
