// The exported entry point through which the host sends the effect every command.
#pragma once

#include <string>

#include "base/after_effects/ae_sdk.h"
#include "base/plugin_description.h"
#include "base/system_dependencies.h"

// Builds the effect for the call, runs the command and returns its error code: PF_Err_OUT_OF_MEMORY
// when memory ran out, PF_Interrupt_CANCEL when the user cancelled, the host's own code when a host call
// failed. Any other failure is logged with a crash log and rethrown, for the host to report as a crash.
// Thread-safe for render commands; global setup must come first.
extern "C" NB_EXPORT PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                           PF_ParamDef* params[], PF_LayerDef* output, void* extra);

namespace nb {

// The about box: name and version with the stage's suffix, the description, the maker's notice and the
// build date; a build that is not a release adds the build time on a last line without a line end.
std::string about_text(const Plugin_Description& description);

}  // namespace nb
