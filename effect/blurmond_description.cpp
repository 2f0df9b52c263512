// The effect's description record.
#include "effect/blurmond_description.h"

namespace nb {

Plugin_Description blurmond_description() {
    Plugin_Description description;
    description.name = "Corvala 'Blurmond'";
    description.category = "Nimbrel";
    description.version_major = 1;
    description.version_minor = 5;
    description.version_bugfix = 5;
    description.stage = Release_Stage::release;
    description.description = "Simulates a camera's blurmond effect.\n";
    description.log_name = "nimbrel/blurmond";
    return description;
}

}  // namespace nb
