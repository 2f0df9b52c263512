#include "util/kernel.h"

namespace nb {

void Kernel::run(Render_Context context) {
    context.check_abort();
    const std::string label = name();
    auto timer = context.scope_timer(label, 0);
    execute(context);
    if (timer) timer->set_workload(workload());
}

}  // namespace nb
