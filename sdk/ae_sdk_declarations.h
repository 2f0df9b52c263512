// Our own declarations of the host-interface subset the plug-in uses, under the public names and values.
// The public SDK can take their place unchanged (see base/after_effects/ae_sdk.h).
#pragma once

#include "ae_sdk_types.h"
#include "sp_basic_suite.h"
#include "pf_effect.h"
#include "pf_world.h"
#include "pf_param_def.h"
#include "pf_effect_records.h"
#include "pf_util_callbacks.h"
#include "pf_handle_suite.h"
#include "pf_effect_ui.h"
#include "pf_effect_suites.h"
#include "pr_suites.h"
#include "aegp_suites.h"
