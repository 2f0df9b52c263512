// Test fixture: a headless host and the render context over it, as the plug-in builds it for a command.
#pragma once

#include <cstdint>
#include <memory>

#include "util/render_context.h"
#include "util/timing.h"

namespace nb::host {
class Headless_Host;
class Effect_Instance;
}  // namespace nb::host

namespace nb::test {

// Contexts must not outlive the fixture. On destruction the test fails when host memory or suites are
// still held.
class Test_Host {
public:
    // threads: host threads of iterate_generic, the calling thread included (>= 1).
    explicit Test_Host(int64_t threads = 4);
    ~Test_Host();
    Test_Host(const Test_Host&) = delete;
    Test_Host& operator=(const Test_Host&) = delete;

    // The render context of one command, built by render_context_ae_cpu over this host. The calling
    // thread is the command's main thread: the only one whose abort checks reach the host.
    Render_Context context();

    int64_t live_handles() const;   // host memory blocks not yet disposed
    int64_t peak_bytes() const;     // most host bytes alive at once
    int64_t abort_calls() const;    // abort queries so far
    // The call-th abort query (1-based) and every later one report a user cancel.
    void arm_abort_at(int64_t call);
    // The call-th host allocation from now (1-based) fails.
    void fail_allocation_at(int64_t call);

    host::Headless_Host& host();
    host::Effect_Instance& effect();

private:
    std::unique_ptr<host::Headless_Host> host_;
    std::unique_ptr<host::Effect_Instance> effect_;
    std::shared_ptr<Timing_Table> timing_;
    bool abort_flag_ = false;
};

}  // namespace nb::test
