// The approximate gamma of the project's working colour space, through the AEGP suites.
#pragma once

#include "base/after_effects/ae_sdk.h"

namespace nb {

// The working space of the first composition of project 0 (of the project itself when it holds none),
// as registered under aegp_plugin_id. After Effects only. Throws Exception_Ae_Suite when a suite is
// refused, Exception_After_Effects when a suite call fails.
float working_gamma(const SPBasicSuite* basic);

}  // namespace nb
