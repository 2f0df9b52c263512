// SIGINT, SIGTERM and SIGHUP while the command works. The handler only records the signal; the host's
// abort query reports it, so a render unwinds through the effect's own abort path, and a file being
// written is dropped rather than committed. Once clean, the command ends as the signal would have ended it.
#pragma once

#include <atomic>
#include <string>

namespace nb::tools {

// Installs the handlers for the life of the object and puts the previous ones back afterwards; one
// object at a time. Nothing is recorded while no object lives. A signal ignored when the object is
// made (SIGHUP under nohup) stays ignored.
class Interrupt_Signals {
public:
    Interrupt_Signals();
    ~Interrupt_Signals();
    Interrupt_Signals(const Interrupt_Signals&) = delete;
    Interrupt_Signals& operator=(const Interrupt_Signals&) = delete;

    // When a signal was caught: restores its default action and raises it again, so the parent sees
    // the process ended by it (a shell reports 128 plus its number). Returns when none was caught.
    void end_process_if_caught() const;
};

// Non-zero (the signal's number) once one was caught; for Headless_Host::cancel_when.
const std::atomic<int>& caught_interrupt();

// "interrupted by SIGTERM" and the like once a signal was caught; empty before.
std::string interruption();

// Throws Tool_Error with interruption() once a signal was caught: between stages whose own work
// asks nobody (file reading and writing).
void check_interrupt();

}  // namespace nb::tools
