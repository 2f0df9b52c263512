// The parameter suites of the host: control refreshes ("PF Param Utils Suite") and full-precision colours
// ("PF ColorParamSuite").
#pragma once

namespace nb::host {

class Headless_Host;

// Offers the two suites on host. Their functions reach the effect through effect_ref, keep its
// state in the Effect_Instance's Effect_Parameter_State, and answer the errors chosen in the host's
// Host_Faults under their own names.
void register_parameter_suites(Headless_Host& host);

}  // namespace nb::host
