// The fixture wires render_context_ae_cpu to a headless host and checks for leaks when it ends.
#include "tests/support/test_host.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/after_effects/helper/ae_helper.h"
#include "host/effect_instance.h"
#include "host/headless_host.h"

namespace nb::test {

Test_Host::Test_Host(int64_t threads)
    : host_(std::make_unique<host::Headless_Host>(threads)),
      effect_(std::make_unique<host::Effect_Instance>(*host_)),
      timing_(std::make_shared<Timing_Table>()) {}

Test_Host::~Test_Host() {
    EXPECT_EQ(host_->handles().live_handles(), 0) << "host memory blocks leaked by the test";
    EXPECT_EQ(host_->outstanding_suites(), 0) << "host suites acquired and never released";
}

Render_Context Test_Host::context() {
    return render_context_ae_cpu(timing_.get(), effect_->in_data(), std::this_thread::get_id(), abort_flag_);
}

int64_t Test_Host::live_handles() const { return host_->handles().live_handles(); }
int64_t Test_Host::peak_bytes() const { return host_->handles().peak_bytes(); }
int64_t Test_Host::abort_calls() const { return host_->abort_calls(); }
void Test_Host::arm_abort_at(int64_t call) { host_->arm_abort_at(call); }
void Test_Host::fail_allocation_at(int64_t call) { host_->handles().fail_allocation_at(call); }
host::Headless_Host& Test_Host::host() { return *host_; }
host::Effect_Instance& Test_Host::effect() { return *effect_; }

}  // namespace nb::test
